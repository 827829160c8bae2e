// The main window, its Help menu and the credits.
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include "camera.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"

namespace davrenta::screenshots {
namespace {

QString Walk(Session& s) {
    s.camera.shoot(&s.main, QStringLiteral("mainfrm"));

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
