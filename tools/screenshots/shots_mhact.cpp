// The material-handling-activity study on the assembly plant from the examples: departments,
// moves, results with the flow diagram, the switch search, the improvement and the best layout.
#include <QLabel>

#include "camera.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"

namespace davrenta::screenshots {
namespace {

using testing::ModalDriver;

QString Run(ModalDriver& d, mainfrm& main) {
    return RunWalk(d, [&main] { main.helpmnu_Click(3); });
}

QString Walk(Session& s) {
    Camera* c = &s.camera;
    ModalDriver d(&s.main);
    Await(d, c, "mhactdescfrm").click("Command1");
    Await(d, c, "mhinput1frm").click("rectbut");
    OpenExample(d, "assembly-plant.mh");
    Await(d, c, "mhdatafrm").click("okbut");
    Await(d, c, "mhdeptfrm").click("okbut");
    Await(d, c, "mhres1frm").click("Command1");
    Await(d, c, "mhres2frm").click("noswitchbut");
    d.expectWindow("mhres1frm").click("improvebut");
    Await(d, c, "mhimprovefrm").click("keepbut");
    d.expectWindow("mhres1frm").click("bestbut");
    d.expectWindow("mhbestfrm")
        .click("searchbut")
        .waitUntil("the search ended",
                   [](QWidget* w) { return !w->findChild<QLabel*>("Label1")->text().isEmpty(); })
        .step("picture", c->shot("mhbestfrm"))
        .click("keepbut");
    d.expectWindow("mhres1frm").click("newbut").expectNoWindow();
    return Run(d, s.main);
}

RegisterShots mhact("mhact", Walk);

} // namespace
} // namespace davrenta::screenshots
