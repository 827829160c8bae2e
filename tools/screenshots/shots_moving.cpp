// Moving the PODs on the result map of mid-county.fl: an existing POD moved with the best new
// POD following, the surface of one new POD, and an area's population edited.
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include "camera.h"
#include "modaldriver.h"
#include "shell/grid.h"
#include "shell/mainfrm.h"

namespace davrenta::screenshots {
namespace {

using testing::ModalDriver;

void Arrow(QWidget* window, Qt::Key key) {
    if (auto* map = window->findChild<Grid*>(QStringLiteral("mapgrd")))
        QTest::keyClick(map, key);
}

// Up to the map of the existing PODs' service areas of mid-county.fl, searched for one new POD.
void ToExistingMap(ModalDriver& d) {
    d.expectWindow("fldescfrm").click("contbut");
    d.expectWindow("flgridfrm").click("Contbut");
    d.expectWindow("flfrm").click("onefacbut");
    d.expectWindow("zedu1frm").click("mintravbut").click("rectbut");
    OpenExample(d, "mid-county.fl");
    d.expectWindow("flocgridfrm").click("Okbut");
    d.expectWindow("flareafrm").click("okbut");
    d.expectWindow("flresultfrm").click("okbut");
    d.expectWindow("flareafrm").click("okbut");
    d.expectWindow("flpopfrm").click("okbut");
}

QString WithTheNewPod(Session& s) {
    Camera* c = &s.camera;
    ModalDriver d(&s.main);
    ToExistingMap(d);
    d.expectWindow("flareafrm").click("okbut");
    d.expectWindow("flservfrm").click("okbut");
    d.expectWindow("flareafrm").click("movebut");
    // POD 4 moved two cells left and one up; the best new POD searched again at each step.
    d.expectWindow("movemapfrm")
        .select("podbox", "POD 4 (D)")
        .click("followchk")
        .step("arrows",
              [](QWidget* w) {
                  Arrow(w, Qt::Key_Left);
                  Arrow(w, Qt::Key_Left);
                  Arrow(w, Qt::Key_Up);
              })
        .step("picture", c->shot("movemapfrm"))
        .click("surfacechk")
        .step("picture", c->shot("movemapfrm-surface"))
        .click("surfacechk")
        .select("areabox", "H")
        .step("population typed",
              [](QWidget* w) {
                  auto* box = w->findChild<QLineEdit*>(QStringLiteral("poptxt"));
                  box->setFocus();
                  box->selectAll();
                  QTest::keyClicks(box, QStringLiteral("30000"));
                  QTest::keyClick(box, Qt::Key_Return);
              })
        .step("picture", c->shot("movemapfrm-population"))
        .closeAll();
    return RunWalk(d, [&s] { s.main.flcmd_Click(); });
}

// On the map before the new POD: only the existing PODs move.
QString ExistingOnly(Session& s) {
    ModalDriver d(&s.main);
    ToExistingMap(d);
    d.expectWindow("flareafrm").click("movebut");
    d.expectWindow("movemapfrm")
        .select("podbox", "POD 5 (E)")
        .step("arrows",
              [](QWidget* w) {
                  Arrow(w, Qt::Key_Up);
                  Arrow(w, Qt::Key_Up);
                  Arrow(w, Qt::Key_Right);
              })
        .step("picture", s.camera.shot("movemapfrm-existing"))
        .closeAll();
    return RunWalk(d, [&s] { s.main.flcmd_Click(); });
}

QString Walk(Session& s) {
    return WalkInTurn(s, {WithTheNewPod, ExistingOnly});
}

RegisterShots moving("moving", Walk);

} // namespace
} // namespace davrenta::screenshots
