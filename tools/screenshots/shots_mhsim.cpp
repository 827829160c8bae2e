// The material-handling simulation: the loading dock from the examples through the options and
// its parameters to the multi-server results, the comparison of server counts against a wait
// target and a run until precise; then the other three options' results on their examples.
// Every run has a seed, so the pictures come out the same each time.
#include <QPushButton>

#include "camera.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"

namespace davrenta::screenshots {
namespace {

using testing::ModalDriver;

QString Run(ModalDriver& d, mainfrm& main) {
    return RunWalk(d, [&main] { main.helpmnu_Click(4); });
}

// From the description to the parameter window of an option loaded from an example.
void Load(ModalDriver& d, Camera* camera, const char* option, const QString& example) {
    Await(d, camera, "mhsdescfrm").click("okbut");
    Await(d, camera, "mhsinput1frm").click(option);
    OpenExample(d, example);
    d.expectWindow("mhsinput2frm").setText("seedtxt", "7");
}

QString LoadingDock(Session& s) {
    Camera* c = &s.camera;
    ModalDriver d(&s.main);
    Load(d, c, "input1but", "loading-dock.mhs");
    Await(d, c, "mhsinput2frm").click("okbut");
    Await(d, c, "mhsresult1frm").click("comparebut");
    d.expectWindow("mhscomparefrm")
        .setText("fromtxt", "2")
        .setText("totxt", "7")
        .select("targetlst", "Average wait at most (minutes)")
        .setText("targettxt", "15")
        .click("comparebut")
        .waitUntil("compared", [](QWidget* w) {
            return w->findChild<QPushButton*>(QStringLiteral("prntbut"))->isEnabled();
        });
    Await(d, c, "mhscomparefrm")
        .click("closebut")
        .expectWindow("mhsresult1frm")
        .click("precisebut");
    Await(d, c, "mhsprecisefrm").setText("halftxt", "3").click("runbut");
    Await(d, c, "mhsresult1frm", QStringLiteral("mhsresult1frm-precise")).closeAll();
    return Run(d, s.main);
}

// One more option's results, on its own example.
QString Results(Session& s, const char* option, const QString& example, const QString& window) {
    ModalDriver d(&s.main);
    Load(d, nullptr, option, example);
    d.expectWindow("mhsinput2frm").click("okbut");
    Await(d, &s.camera, window).closeAll();
    return Run(d, s.main);
}

QString Walk(Session& s) {
    const auto results = [](const char* option, const char* example, const char* window) {
        return [=](Session& session) { return Results(session, option, example, window); };
    };
    return WalkInTurn(s, {LoadingDock, results("input2but", "clinic-desk.mhs", "mhsresult2frm"),
                          results("input3but", "tool-crib.mhs", "mhsresult3frm"),
                          results("input4but", "repair-bay.mhs", "mhsresult4frm")});
}

RegisterShots mhsim("mhsim", Walk);

} // namespace
} // namespace davrenta::screenshots
