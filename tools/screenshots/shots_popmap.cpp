// The population-map study: every window from the description to the near-optimal map, on the
// small town from the examples, and the keyboard windows on the worked example.
#include "camera.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"

namespace davrenta::screenshots {
namespace {

using testing::ModalDriver;

QString Run(ModalDriver& d, mainfrm& main) {
    return d.run([&main] { main.flcmd_Click(); }) ? QString() : d.failure();
}

QString FromDisk(Session& s) {
    auto shot = [&s](const char* name) { return s.camera.shot(QString::fromLatin1(name)); };
    const QString picture = QStringLiteral("picture");
    ModalDriver d(&s.main);
    d.expectWindow("fldescfrm")
        .step(picture, shot("fldescfrm"))
        .click("contbut")
        .expectWindow("flgridfrm")
        .step(picture, shot("flgridfrm"))
        .click("Contbut")
        .expectWindow("flfrm")
        .step(picture, shot("flfrm"))
        .click("onefacbut")
        .expectWindow("zedu1frm")
        .step(picture, shot("zedu1frm"))
        .click("mintravbut")
        .click("rectbut")
        .expectWindow("sourcefrm")
        .step(picture, shot("sourcefrm"))
        .click("diskbut")
        .expectWindow("filefrm")
        .click("examplesbut")
        .setText("Text1", "small-town.fl")
        .step(picture, shot("filefrm"))
        .click("okbut")
        .expectWindow("flocgridfrm")
        .step(picture, shot("flocgridfrm"))
        .click("Okbut")
        .expectWindow("flareafrm")
        .step(picture, shot("flareafrm-input"))
        .click("okbut")
        .expectWindow("flresultfrm")
        .step(picture, shot("flresultfrm"))
        .click("okbut")
        .expectWindow("flareafrm")
        .step(picture, shot("flareafrm-numbered"))
        .click("okbut")
        .expectWindow("flpopfrm")
        .step(picture, shot("flpopfrm"))
        .click("okbut")
        .expectWindow("flareafrm")
        .step(picture, shot("flareafrm-service"))
        .click("okbut")
        .expectWindow("flservfrm")
        .step(picture, shot("flservfrm"))
        .click("okbut")
        .expectWindow("flareafrm")
        .step(picture, shot("flareafrm-service-new"))
        .click("okbut")
        .expectWindow("flservfrm")
        .step(picture, shot("flservfrm-new"))
        .click("opbut")
        .expectWindow("floptfrm")
        .setText("inputtxt", "0.1")
        .step(picture, shot("floptfrm"))
        .click("okbut")
        .expectWindow("flareafrm")
        .step(picture, shot("flareafrm-near"))
        .click("okbut")
        .expectMessage("maptype=5")
        .expectNoWindow();
    return Run(d, s.main);
}

QString FromKeyboard(Session& s) {
    auto shot = [&s](const char* name) { return s.camera.shot(QString::fromLatin1(name)); };
    const QString picture = QStringLiteral("picture");
    ModalDriver d(&s.main);
    d.expectWindow("fldescfrm")
        .click("contbut")
        .expectWindow("flgridfrm")
        .click("Contbut")
        .expectWindow("flfrm")
        .click("onefacbut")
        .expectWindow("zedu1frm")
        .click("mintravbut")
        .click("rectbut")
        .expectWindow("sourcefrm")
        .click("Keybut")
        .expectWindow("flinputfrm")
        .setText("inputsymtxt(0)", "A")
        .setText("inputpoptxt(0)", "100")
        .setText("inputsymtxt(1)", "B")
        .setText("inputpoptxt(1)", "50")
        .step(picture, shot("flinputfrm"))
        .click("okbut")
        .expectWindow("flinput2frm")
        .step(picture, shot("flinput2frm"))
        .click("okbut")
        .expectWindow("flinput4frm")
        .setText("inputtxt", "AAB")
        .step(picture, shot("flinput4frm"))
        .click("okbut")
        .expectWindow("flocgridfrm")
        .closeAll();
    return Run(d, s.main);
}

QString Walk(Session& s) {
    QString failure = FromDisk(s);
    if (failure.isEmpty())
        failure = FromKeyboard(s);
    return failure;
}

RegisterShots popmap("popmap", Walk);

} // namespace
} // namespace davrenta::screenshots
