#pragma once

#include <functional>
#include <memory>
#include <utility>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/modulestate.h"
#include "app/studies.h"
#include "modaldriver.h"
#include "shell/grid.h"
#include "shell/mainfrm.h"

namespace davrenta::testing {

// Where every study's window test starts: the main window over a fresh state and the whole
// study table, the process in a temporary folder; walk() enters the study from the main
// window as the test's study does (its button or its Help entry).
struct StudyWindows {
    explicit StudyWindows(std::function<void(mainfrm&)> enter) : enter_(std::move(enter)) {}

    ModuleState state;
    std::unique_ptr<mainfrm> main;
    QTemporaryDir dir;

    void open() {
        state = ModuleState{};
        main = std::make_unique<mainfrm>(state, MakeStudyTable(state));
        main->setExitHandler([] {});
        main->show();
        QVERIFY(dir.isValid());
        QDir::setCurrent(dir.path());
    }
    void close() { main.reset(); }

    bool walk(ModalDriver& d) {
        return walk(d, [this] { enter_(*main); });
    }
    // The same walk started by another entry (a menu action, say).
    bool walk(ModalDriver& d, const std::function<void()>& start) {
        const bool ok = d.run(start);
        if (!ok)
            qWarning("%s", qPrintable(d.failure()));
        return ok;
    }

  private:
    std::function<void(mainfrm&)> enter_;
};

inline Grid* GridOf(QWidget* window, const char* name) {
    return window->findChild<Grid*>(QString::fromLatin1(name));
}

// Whether a window's control exists and is shown, or exists and is hidden.
inline bool Shown(QWidget* window, const char* name) {
    auto* control = window->findChild<QWidget*>(QString::fromLatin1(name));
    return control && control->isVisible();
}
inline bool Hidden(QWidget* window, const char* name) {
    auto* control = window->findChild<QWidget*>(QString::fromLatin1(name));
    return control && !control->isVisible();
}

// A saved file's bytes, and the same as text one character per byte, as the files are written.
inline QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
inline QString FileText(const QString& path) {
    return QString::fromLatin1(FileBytes(path));
}

} // namespace davrenta::testing
