#include "shell/fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>

namespace davrenta {

namespace {

QString FirstFixedPitch(const QStringList& families) {
    for (const QString& family : families)
        if (IsFixedPitch(family))
            return family;
    return QString();
}

QString DefaultFixedPitchFamily() {
    const QString system = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    QString found =
        FirstFixedPitch({system, QStringLiteral("Liberation Mono"),
                         QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Courier New")});
    if (found.isEmpty())
        found = FirstFixedPitch(QFontDatabase::families());
    // Nothing verified at all: the system's choice is still the best guess.
    return found.isEmpty() ? system : found;
}

} // namespace

bool IsFixedPitch(const QString& family) {
    if (family.isEmpty() || !QFontDatabase::families().contains(family, Qt::CaseInsensitive))
        return false;
    QFont font(family);
    font.setStyleHint(QFont::TypeWriter);
    const QFontInfo info(font);
    return info.family().compare(family, Qt::CaseInsensitive) == 0 && info.fixedPitch() &&
           QFontDatabase::isFixedPitch(info.family());
}

QString FixedPitchFamily(const QStringList& preferred) {
    if (const QString found = FirstFixedPitch(preferred); !found.isEmpty())
        return found;
    // Installed fonts do not change while the program runs.
    static const QString fallback = DefaultFixedPitchFamily();
    return fallback;
}

QFont MapFont() {
    QFont font = QApplication::font();
    font.setFamily(FixedPitchFamily());
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

} // namespace davrenta
