#include "camera.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace davrenta::screenshots {

void Camera::shoot(QWidget* window, const QString& name) {
    const QString file = QDir(folder_).filePath(name + QStringLiteral(".png"));
    const QPixmap picture = window->grab();
    if (picture.isNull() || !picture.save(file, "PNG"))
        failures << QStringLiteral("%1: cannot write %2").arg(name, file);
    else
        taken << name;
}

std::vector<ShotSet>& ShotSets() {
    static std::vector<ShotSet> sets;
    return sets;
}

} // namespace davrenta::screenshots
