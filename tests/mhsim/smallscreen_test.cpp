// The simulation's results on a small, highly scaled screen: the window stays on the screen and
// scrolls, and no label or figure is cut short. Twice the scale on the offscreen platform's
// 800 x 600 screen leaves 400 x 300 to lay out in.
#include <QApplication>
#include <QtTest>

#include "app/modulestate.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"
#include "smallscreen.h"
#include "studywindows.h"

using namespace davrenta;
using davrenta::testing::ModalDriver;
using davrenta::testing::WholeOnScreen;

class MhSimSmallScreen : public QObject {
    Q_OBJECT

  private:
    davrenta::testing::StudyWindows study{[](mainfrm& m) { m.helpmnu_Click(4); }};

  private slots:
    void init() { study.open(); }
    void cleanup() { study.close(); }

    void resultsScrollInsteadOfCuttingTextsShort() {
        ModalDriver d(study.main.get());
        d.expectWindow("mhsdescfrm").click("okbut").expectWindow("mhsinput1frm");
        d.click("input4but").expectWindow("sourcefrm").click("diskbut").expectWindow("filefrm");
        d.click("examplesbut").setText("Text1", "repair-bay.mhs").click("okbut");
        d.expectWindow("mhsinput2frm")
            .setText("seedtxt", "7")
            .click("okbut")
            .expectWindow("mhsresult4frm")
            .check("on the screen, every text whole", WholeOnScreen)
            .click("okbut")
            .expectNoWindow();
        QVERIFY(study.walk(d));
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    MhSimSmallScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "smallscreen_test.moc"
