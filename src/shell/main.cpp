#include <QApplication>
#include <QIcon>

#include "shell/mainfrm.h"
#include "shell/messages.h"
#include "state/modulestate.h"
#include "version.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(davrenta::kApplicationTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(davrenta::kVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("davrenta"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/davrenta.png")));

    davrenta::ModuleState state;
    davrenta::mainfrm window(state);
    window.Form_Load();
    return QApplication::exec();
}
