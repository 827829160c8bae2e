// The matching study: the keyboard windows with a first facility typed in, then the county's
// depots from the examples through the data table, the removal window and the results under a
// limit of three sites.
#include "camera.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"

namespace davrenta::screenshots {
namespace {

using testing::ModalDriver;

QString Run(ModalDriver& d, mainfrm& main) {
    return RunWalk(d, [&main] { main.helpmnu_Click(2); });
}

QString FromKeyboard(Session& s) {
    Camera* c = &s.camera;
    ModalDriver d(&s.main);
    Await(d, c, "smdescfrm").click("Ok");
    Await(d, c, "smfrm").click("twocmd");
    d.expectWindow("sourcefrm").click("Keybut");
    d.expectWindow("sminputfrm").setText("facinputtxt", "2").setText("sitesinputtxt", "3");
    Await(d, c, "sminputfrm").click("okbut");
    d.expectWindow("sminputdatafrm")
        .setText("timetxt(0)", "4")
        .setText("timetxt(1)", "7")
        .setText("timetxt(2)", "2")
        .setText("demandtxt", "10");
    Await(d, c, "sminputdatafrm").closeAll();
    return Run(d, s.main);
}

QString FromDisk(Session& s) {
    Camera* c = &s.camera;
    ModalDriver d(&s.main);
    d.expectWindow("smdescfrm").click("Ok");
    d.expectWindow("smfrm").click("threecmd");
    OpenExample(d, "county-depots.sm");
    Await(d, c, "smgridfrm").click("rembut");
    d.expectWindow("smremvfrm").setText("remtxt", "2");
    Await(d, c, "smremvfrm").click("canbut");
    d.expectWindow("smgridfrm").click("okbut");
    Await(d, c, "smresultsfrm").click("Okbut");
    d.expectWindow("smfrm").click("retcmd").expectNoWindow();
    return Run(d, s.main);
}

QString Walk(Session& s) {
    return WalkInTurn(s, {FromKeyboard, FromDisk});
}

RegisterShots sitematch("sitematch", Walk);

} // namespace
} // namespace davrenta::screenshots
