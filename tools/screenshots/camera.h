#pragma once

#include <functional>
#include <initializer_list>
#include <vector>

#include <QString>
#include <QStringList>

class QWidget;

namespace davrenta {
struct ModuleState;
class mainfrm;
namespace testing {
class ModalDriver;
}
} // namespace davrenta

namespace davrenta::screenshots {

// Takes the pictures of one run into one folder.
class Camera {
  public:
    explicit Camera(QString folder) : folder_(std::move(folder)) {}

    // Saves what the window shows as <folder>/<name>.png.
    void shoot(QWidget* window, const QString& name);
    // A driver step's action that takes the current window's picture.
    std::function<void(QWidget*)> shot(const QString& name) {
        return [this, name](QWidget* window) { shoot(window, name); };
    }

    QStringList taken;
    QStringList failures;

  private:
    QString folder_;
};

// The usual step of a walk: the window comes and, with a camera, its picture is taken (named
// after the window unless a name is given). Returns the driver for the step's actions.
testing::ModalDriver& Await(testing::ModalDriver& d, Camera* camera, const QString& window,
                            const QString& picture = {});

// The source window's disk button, then a shipped example opened from the chooser's
// Examples folder.
testing::ModalDriver& OpenExample(testing::ModalDriver& d, const QString& name);

// Runs a walk from the study's entry; the driver's failure, empty when all went as scripted.
QString RunWalk(testing::ModalDriver& d, const std::function<void()>& enter);

struct Session;

// Runs walks one after the other until one fails; its failure, empty when all went as scripted.
QString WalkInTurn(Session& session, std::initializer_list<std::function<QString(Session&)>> walks);

// What a study's pictures are taken with: a fresh state, its main window (shown, credits
// closed) and a working folder of its own for anything the walk saves.
struct Session {
    ModuleState& state;
    mainfrm& main;
    Camera& camera;
    QString workFolder;
};

// Walks a study's windows and shoots them; returns the driver's failure, empty when the
// windows came as scripted.
using ShotWalk = QString (*)(Session& session);

struct ShotSet {
    const char* name;
    ShotWalk walk;
};

// Every study's pictures, in the order of their files' registration.
std::vector<ShotSet>& ShotSets();

// Registers a study's walk from its own file: `static RegisterShots popmap("popmap", Walk);`
struct RegisterShots {
    RegisterShots(const char* name, ShotWalk walk) { ShotSets().push_back({name, walk}); }
};

} // namespace davrenta::screenshots
