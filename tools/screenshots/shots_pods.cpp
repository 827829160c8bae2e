// Several new PODs: the count on the POD-count screen, the search's progress with its bound and
// gap, the result map with a mark per new POD, the proof line and the How Many PODs window.
#include <QDir>
#include <QFile>
#include <QLabel>

#include "camera.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"

namespace davrenta::screenshots {
namespace {

using testing::ModalDriver;

QString Run(ModalDriver& d, mainfrm& main) {
    return RunWalk(d, [&main] { main.flcmd_Click(); });
}

QString LabelText(QWidget* w, const char* name) {
    auto* label = w->findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QString();
}

// Description and grid, then the count typed on the POD-count screen (its picture taken),
// Minimize Travel and the given distance method: up to the input source.
void ToSource(ModalDriver& d, Camera* camera, const QString& count, const QString& method) {
    d.expectWindow("fldescfrm").click("contbut");
    d.expectWindow("flgridfrm").click("Contbut");
    d.expectWindow("flfrm").setText("podcounttxt", count);
    Await(d, camera, "flfrm", "flfrm-several").click("severalbut");
    d.expectWindow("zedu1frm").click("mintravbut").click(method);
}

QString ThreePods(Session& s) {
    Camera* c = &s.camera;
    ModalDriver d(&s.main);
    ToSource(d, c, "3", "rectbut");
    OpenExample(d, "small-town.fl");
    d.expectWindow("flocgridfrm").click("Okbut");
    d.expectWindow("flareafrm").click("okbut");
    d.expectWindow("flresultfrm").click("okbut");
    d.expectWindow("flareafrm").click("okbut");
    d.expectWindow("flpopfrm").click("okbut");
    d.expectWindow("flareafrm").click("okbut");
    d.expectWindow("flservfrm").click("okbut");
    Await(d, c, "flareafrm", "flareafrm-service-several").click("okbut");
    Await(d, c, "flservfrm", "flservfrm-several").click("countbut");
    d.expectWindow("flcountfrm")
        .setText("maxtxt", "3")
        .click("curvebut")
        .waitUntil("the table is filled",
                   [](QWidget* w) { return !LabelText(w, "titlelbl").isEmpty(); })
        .setText("radiustxt", "0.7")
        .click("coverbut")
        .waitUntil("the cover is answered",
                   [](QWidget* w) { return !LabelText(w, "coverlbl").isEmpty(); })
        .step("picture", c->shot("flcountfrm"))
        .click("okbut");
    d.expectWindow("flservfrm").closeAll();
    return Run(d, s.main);
}

// Ten new PODs on the full region without its existing PODs take long enough to show the
// progress line; the picture is taken while it runs, then the search is cancelled.
QString Progress(Session& s) {
    QFile source(QDir(QStringLiteral(DAVRENTA_EXAMPLES_DIR)).filePath("full-region.fl"));
    if (!source.open(QIODevice::ReadOnly))
        return QStringLiteral("full-region.fl cannot be read");
    QList<QByteArray> lines = source.readAll().split('\n');
    lines[0] = "60,0,51\r";
    lines.erase(lines.begin() + 61, lines.begin() + 91); // the 30 POD records
    const QString path = QDir(s.workFolder).filePath(QStringLiteral("open-region.fl"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("the open region cannot be written");
    file.write(lines.join('\n'));
    file.close();

    ModalDriver d(&s.main);
    ToSource(d, nullptr, "10", "eucbut");
    d.expectWindow("sourcefrm").click("diskbut");
    d.expectWindow("filefrm").setText("Text1", path).click("okbut");
    d.expectWindow("flocgridfrm").click("Okbut");
    d.expectWindow("flareafrm")
        .click("okbut")
        .waitUntil("the progress shows the best, a bound above 0 and the gap",
                   [](QWidget* w) {
                       const QString text = LabelText(w, "Label1");
                       return text.contains("; gap ") && !text.contains("gap 100.0%");
                   })
        .step("picture", s.camera.shot("flareafrm-searching"))
        .click("cancelbut")
        .waitUntil("the search stopped",
                   [](QWidget* w) { return LabelText(w, "Label1").startsWith("Search cancelled"); })
        .closeAll();
    return Run(d, s.main);
}

QString Walk(Session& s) {
    return WalkInTurn(s, {ThreePods, Progress});
}

RegisterShots pods("pods", Walk);

} // namespace
} // namespace davrenta::screenshots
