// The matching study's windows on a small, highly scaled screen: twice the scale on the offscreen
// platform's 800 x 600 screen leaves 400 x 300 to lay out in. Every window fits, and every
// label, box, button and heading shows its whole text, scrolling where the room runs out.
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

class SiteMatchSmallScreen : public QObject {
    Q_OBJECT

  private:
    davrenta::testing::StudyWindows study{[](mainfrm& m) { m.helpmnu_Click(2); }};

  private slots:
    void init() { study.open(); }
    void cleanup() { study.close(); }

    void keyboardWindows() {
        ModalDriver d(study.main.get());
        d.expectWindow("smdescfrm").check(kWhole, WholeOnScreen).click("Ok");
        d.expectWindow("smfrm").check(kWhole, WholeOnScreen).click("twocmd");
        d.expectWindow("sourcefrm").click("Keybut");
        d.expectWindow("sminputfrm").check(kWhole, WholeOnScreen);
        d.setText("facinputtxt", "1").setText("sitesinputtxt", "10").click("okbut");
        d.expectWindow("sminputdatafrm").check(kWhole, WholeOnScreen).closeAll();
        QVERIFY(study.walk(d));
    }

    void tableRemovalAndResultsOfTheLargestExample() {
        ModalDriver d(study.main.get());
        d.expectWindow("smdescfrm").click("Ok").expectWindow("smfrm").click("threecmd");
        d.expectWindow("sourcefrm").click("diskbut").expectWindow("filefrm");
        d.click("examplesbut").setText("Text1", "county-depots.sm").click("okbut");
        d.expectWindow("smgridfrm").check(kWhole, WholeOnScreen).click("rembut");
        d.expectWindow("smremvfrm").check(kWhole, WholeOnScreen).click("canbut");
        d.expectWindow("smgridfrm").click("okbut");
        d.expectWindow("smresultsfrm").check(kWhole, WholeOnScreen).click("Okbut");
        d.expectWindow("smfrm").click("retcmd").expectNoWindow();
        QVERIFY(study.walk(d));
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    SiteMatchSmallScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "smallscreen_test.moc"
