// The population-map study: every window from the description to the near-optimal map, on the
// small town from the examples, and the keyboard windows on the worked example.
#include "camera.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"

namespace davrenta::screenshots {
namespace {

using testing::ModalDriver;

QString Run(ModalDriver& d, mainfrm& main) {
    return RunWalk(d, [&main] { main.flcmd_Click(); });
}

// Description, grid, one new POD, minimize travel, rectilinear: up to the input source.
void Setup(ModalDriver& d, Camera* camera) {
    Await(d, camera, "fldescfrm").click("contbut");
    Await(d, camera, "flgridfrm").click("Contbut");
    Await(d, camera, "flfrm").click("onefacbut");
    Await(d, camera, "zedu1frm").click("mintravbut").click("rectbut");
}

QString FromDisk(Session& s) {
    Camera* c = &s.camera;
    ModalDriver d(&s.main);
    Setup(d, c);
    Await(d, c, "sourcefrm").click("diskbut");
    d.expectWindow("filefrm").click("examplesbut").setText("Text1", "small-town.fl");
    Await(d, c, "filefrm").click("okbut");
    Await(d, c, "flocgridfrm").click("Okbut");
    Await(d, c, "flareafrm", "flareafrm-input").click("okbut");
    Await(d, c, "flresultfrm").click("okbut");
    Await(d, c, "flareafrm", "flareafrm-numbered").click("okbut");
    Await(d, c, "flpopfrm").click("okbut");
    Await(d, c, "flareafrm", "flareafrm-service").click("okbut");
    Await(d, c, "flservfrm").click("okbut");
    Await(d, c, "flareafrm", "flareafrm-service-new").click("okbut");
    Await(d, c, "flservfrm", "flservfrm-new").click("opbut");
    d.expectWindow("floptfrm").setText("inputtxt", "0.1");
    Await(d, c, "floptfrm").click("okbut");
    Await(d, c, "flareafrm", "flareafrm-near").click("okbut");
    d.expectMessage("maptype=5").expectNoWindow();
    return Run(d, s.main);
}

QString FromKeyboard(Session& s) {
    Camera* c = &s.camera;
    ModalDriver d(&s.main);
    Setup(d, nullptr);
    d.expectWindow("sourcefrm").click("Keybut");
    d.expectWindow("flinputfrm")
        .setText("inputsymtxt(0)", "A")
        .setText("inputpoptxt(0)", "100")
        .setText("inputsymtxt(1)", "B")
        .setText("inputpoptxt(1)", "50");
    Await(d, c, "flinputfrm").click("okbut");
    Await(d, c, "flinput2frm").click("okbut");
    d.expectWindow("flinput4frm").setText("inputtxt", "AAB");
    Await(d, c, "flinput4frm").click("okbut");
    d.expectWindow("flocgridfrm").closeAll();
    return Run(d, s.main);
}

QString Walk(Session& s) {
    return WalkInTurn(s, {FromDisk, FromKeyboard});
}

RegisterShots popmap("popmap", Walk);

} // namespace
} // namespace davrenta::screenshots
