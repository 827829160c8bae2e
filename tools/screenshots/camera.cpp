#include "camera.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

#include "modaldriver.h"

namespace davrenta::screenshots {

void Camera::shoot(QWidget* window, const QString& name) {
    const QString file = QDir(folder_).filePath(name + QStringLiteral(".png"));
    const QPixmap picture = window->grab();
    if (picture.isNull() || !picture.save(file, "PNG"))
        failures << QStringLiteral("%1: cannot write %2").arg(name, file);
    else
        taken << name;
}

testing::ModalDriver& Await(testing::ModalDriver& d, Camera* camera, const QString& window,
                            const QString& picture) {
    d.expectWindow(window);
    if (camera)
        d.step(QStringLiteral("picture"), camera->shot(picture.isEmpty() ? window : picture));
    return d;
}

std::vector<ShotSet>& ShotSets() {
    static std::vector<ShotSet> sets;
    return sets;
}

testing::ModalDriver& OpenExample(testing::ModalDriver& d, const QString& name) {
    d.expectWindow(QStringLiteral("sourcefrm")).click(QStringLiteral("diskbut"));
    return d.expectWindow(QStringLiteral("filefrm"))
        .click(QStringLiteral("examplesbut"))
        .setText(QStringLiteral("Text1"), name)
        .click(QStringLiteral("okbut"));
}

QString RunWalk(testing::ModalDriver& d, const std::function<void()>& enter) {
    return d.run(enter) ? QString() : d.failure();
}

QString WalkInTurn(Session& session,
                   std::initializer_list<std::function<QString(Session&)>> walks) {
    for (const auto& walk : walks)
        if (QString failure = walk(session); !failure.isEmpty())
            return failure;
    return {};
}

} // namespace davrenta::screenshots
