// The single-facility study: the keyboard windows with a first facility typed in, then the rural
// clinic from the examples through its table, the removal window and the solved table with its
// picture.
#include "camera.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"

namespace davrenta::screenshots {
namespace {

using testing::ModalDriver;

QString Run(ModalDriver& d, mainfrm& main) {
    return RunWalk(d, [&main] { main.sflcmd_Click(); });
}

QString FromKeyboard(Session& s) {
    Camera* c = &s.camera;
    ModalDriver d(&s.main);
    Await(d, c, "sfdescfrm").click("contbut");
    d.expectWindow("sourcefrm").click("Keybut");
    d.expectWindow("sfinputfrm").setText("facinputtxt", "3");
    Await(d, c, "sfinputfrm").click("okbut");
    d.expectWindow("sfinputdatafrm")
        .setText("xcoordtxt", "2")
        .setText("ycoordtxt", "1")
        .setText("weighttxt", "1");
    Await(d, c, "sfinputdatafrm").closeAll();
    return Run(d, s.main);
}

QString FromDisk(Session& s) {
    Camera* c = &s.camera;
    ModalDriver d(&s.main);
    d.expectWindow("sfdescfrm").click("contbut");
    OpenExample(d, "rural-clinic.sf");
    Await(d, c, "sfgridfrm").click("rembut");
    d.expectWindow("sfremvfrm").setText("remtxt", "2");
    Await(d, c, "sfremvfrm").click("canbut");
    d.expectWindow("sfgridfrm").click("okbut");
    Await(d, c, "sfgridfrm", "sfgridfrm-solved").click("donebut").expectNoWindow();
    return Run(d, s.main);
}

QString Walk(Session& s) {
    return WalkInTurn(s, {FromKeyboard, FromDisk});
}

RegisterShots sfloc("sfloc", Walk);

} // namespace
} // namespace davrenta::screenshots
