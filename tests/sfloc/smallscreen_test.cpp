// The single-facility study's windows on a small, highly scaled screen: twice the scale on the
// offscreen platform's 800 x 600 screen leaves 400 x 300 to lay out in. Every window fits, and
// every label, box, button, heading and the picture's own texts show whole, scrolling where the
// room runs out.
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

namespace {
const QString kWhole = QStringLiteral("on the screen, every text whole");
}

class SingleFacilitySmallScreen : public QObject {
    Q_OBJECT

  private:
    davrenta::testing::StudyWindows study{[](mainfrm& m) { m.sflcmd_Click(); }};

  private slots:
    void init() { study.open(); }
    void cleanup() { study.close(); }

    void keyboardWindows() {
        ModalDriver d(study.main.get());
        d.expectWindow("sfdescfrm").check(kWhole, WholeOnScreen).click("contbut");
        d.expectWindow("sourcefrm").check(kWhole, WholeOnScreen).click("Keybut");
        d.expectWindow("sfinputfrm").check(kWhole, WholeOnScreen);
        d.setText("facinputtxt", "1").click("okbut");
        d.expectWindow("sfinputdatafrm").check(kWhole, WholeOnScreen).closeAll();
        QVERIFY(study.walk(d));
    }

    void tableResultsAndRemovalOfTheLargestExample() {
        ModalDriver d(study.main.get());
        d.expectWindow("sfdescfrm").click("contbut");
        d.expectWindow("sourcefrm").click("diskbut");
        d.expectWindow("filefrm").check(kWhole, WholeOnScreen);
        d.click("examplesbut").setText("Text1", "warehouse-stores.sf").click("okbut");
        d.expectWindow("sfgridfrm").check(kWhole, WholeOnScreen).click("okbut");
        d.expectWindow("sfgridfrm").check(kWhole, WholeOnScreen).click("backbut");
        d.expectWindow("sfgridfrm").click("rembut");
        d.expectWindow("sfremvfrm").check(kWhole, WholeOnScreen).click("canbut");
        d.expectWindow("sfgridfrm").click("donebut").expectNoWindow();
        QVERIFY(study.walk(d));
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    SingleFacilitySmallScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "smallscreen_test.moc"
