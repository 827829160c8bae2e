// The shell's own windows on a small, highly scaled screen: twice the scale on the offscreen
// platform's 800 x 600 screen leaves 400 x 300 to lay out in. The main window, the chooser, the
// guide, the print preview and the Save PDF dialog stay on the screen with their texts whole and
// their buttons in view.
#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include "app/modulestate.h"
#include "app/studies.h"
#include "modaldriver.h"
#include "popmap/reports.h"
#include "shell/filefrm.h"
#include "shell/guidefrm.h"
#include "shell/mainfrm.h"
#include "shell/printing.h"
#include "shell/studytable.h"
#include "shell/windowkit.h"
#include "smallscreen.h"

using namespace davrenta;
using davrenta::testing::ModalDriver;
using davrenta::testing::WholeOnScreen;

namespace {

const QString kWhole = QStringLiteral("on the screen, every text whole");

// A file dialog of the platform's making lays out its own texts; what matters is that it fits
// and that its buttons, Cancel among them, lie inside it.
bool DialogFitsWithItsButtons(QWidget* window, QString* why) {
    const QRect area = window->screen()->availableGeometry();
    if (window->frameGeometry().height() > area.height() ||
        window->frameGeometry().width() > area.width()) {
        *why = QStringLiteral("the dialog is %1 x %2")
                   .arg(window->frameGeometry().width())
                   .arg(window->frameGeometry().height());
        return false;
    }
    const auto* box = window->findChild<QDialogButtonBox*>();
    if (!box) {
        *why = QStringLiteral("no buttons");
        return false;
    }
    for (QAbstractButton* b : box->buttons()) {
        const QRect at(b->mapTo(window, QPoint(0, 0)), b->size());
        if (!window->rect().contains(at)) {
            *why = b->text() + QStringLiteral(" lies outside the dialog");
            return false;
        }
    }
    return true;
}

} // namespace

class ShellSmallScreen : public QObject {
    Q_OBJECT

  private slots:
    void mainWindowAndGuide() {
        ModuleState state;
        mainfrm window(state, davrenta::MakeStudyTable(state));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QString why;
        QVERIFY2(WholeOnScreen(&window, &why), qPrintable(why));
        window.guidemnu_Click();
        guidefrm* guide = window.guideWindow();
        QVERIFY(guide && guide->isVisible());
        QVERIFY2(WholeOnScreen(guide, &why), qPrintable(why));
    }

    void chooserInBothModes() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ModuleState state;
        state.ChooserFolder = dir.path().toStdString();
        for (ChooserMode mode : {ChooserMode::Read, ChooserMode::Write}) {
            state.SaveMode = mode;
            ModalDriver d;
            d.expectWindow("filefrm").check(kWhole, WholeOnScreen).click("cancelbut");
            QVERIFY2(d.run([&] { OpenModal<filefrm>(state, nullptr); }), qPrintable(d.failure()));
        }
    }

    void printPreviewAndSavePdfDialog() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ModalDriver d;
        if (QPrinterInfo::availablePrinters().isEmpty())
            d.expectMessage(QString::fromUtf8(kNoPrinterText));
        d.expectWindow("printpreview").check(kWhole, WholeOnScreen).click("savepdf");
        d.expectWindow("savepdfdlg").check("fits with its buttons", DialogFitsWithItsButtons);
        d.step("cancel the PDF", [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
        d.expectWindow("printpreview").click("closebut");
        QVERIFY2(d.run([&] {
            PrintReport(nullptr, GridOverlayReport(), dir.filePath(QStringLiteral("grid.pdf")));
        }),
                 qPrintable(d.failure()));
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    ShellSmallScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "smallscreen_test.moc"
