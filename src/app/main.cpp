#include <QApplication>
#include <QIcon>

#include "app/modulestate.h"
#include "app/studies.h"

#include "shell/mainfrm.h"
#include "shell/messages.h"
#include "version.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(davrenta::kApplicationTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(davrenta::kVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("invalid.davrenta.Davrenta"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/davrenta.png")));

    davrenta::ModuleState state;
    davrenta::mainfrm window(state, davrenta::MakeStudyTable(state));
    window.Form_Load();
    return QApplication::exec();
}
