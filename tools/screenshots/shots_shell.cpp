// The main window (new, and with recent problems), its Help menu and the credits.
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>

#include "camera.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"
#include "shell/recentfiles.h"

namespace davrenta::screenshots {
namespace {

QString Walk(Session& s) {
    s.camera.shoot(&s.main, QStringLiteral("mainfrm"));

    // The recent problems as a user who opened a few examples sees them, then empty again so
    // that the other pictures start as a new user's.
    const QDir examples(QStringLiteral(DAVRENTA_EXAMPLES_DIR));
    const QStringList recent{examples.filePath(QStringLiteral("loading-dock.mhs")),
                             examples.filePath(QStringLiteral("small-town.fl")),
                             examples.filePath(QStringLiteral("full-region.fl"))};
    const QStringList before = RecentProblemFiles();
    for (const QString& file : before)
        ForgetRecentProblem(file);
    for (const QString& file : recent)
        NoteRecentProblem(file);
    QApplication::processEvents();
    s.camera.shoot(&s.main, QStringLiteral("mainfrm-recent"));
    for (const QString& file : recent)
        ForgetRecentProblem(file);
    QApplication::processEvents();

    // The Help menu as it drops down under its title.
    QMenuBar* bar = s.main.menuBar();
    s.main.mainmnu->popup(
        bar->mapToGlobal(bar->actionGeometry(s.main.mainmnu->menuAction()).bottomLeft()));
    QApplication::processEvents();
    s.camera.shoot(s.main.mainmnu, QStringLiteral("mainmnu"));
    s.main.mainmnu->hide();

    testing::ModalDriver d(&s.main);
    d.expectWindow(QStringLiteral("mainfrm"))
        .click(QStringLiteral("helpmnu(5)"))
        .expectWindow(QStringLiteral("creditfrm"))
        .step(QStringLiteral("picture"), s.camera.shot(QStringLiteral("creditfrm")))
        .click(QStringLiteral("okbut2"));
    return d.run() ? QString() : d.failure();
}

RegisterShots shell("shell", Walk);

} // namespace
} // namespace davrenta::screenshots
