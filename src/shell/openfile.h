#pragma once

#include <functional>
#include <string>

#include <QString>
#include <QStringList>

#include "shell/studytable.h"

class QMimeData;
class QWidget;

namespace davrenta {

// The study whose problem files end as this path does (any case); Study::None for any other.
Study StudyOfFile(const QString& path);

// Opens a problem file handed to the program (named on its command line, dropped on the main
// window, taken from the recent problems) as if it had been chosen in its study's chooser: the
// study is entered at its first screen and, when it asks for the input source and the file, the
// file is the answer. A file of no study, a missing one or one its study's reader refuses gets
// a message and no study. True when the study took the file.
bool OpenProblemFile(ShellState& state, const StudyTable& table, const QString& path,
                     QWidget* parent);

// The file handed to the program that its study has not asked for yet; empty when none. The
// study's next input-source window and chooser answer with it instead of asking.
const std::string& PendingProblemFile();
// The pending file, no longer pending.
std::string TakePendingProblemFile();

// The local files a drag carries, in order; empty when it carries none.
QStringList DroppedFiles(const QMimeData* data);

// Lets `window` take files dropped on it. `open` gets the first one once the drop has ended, so
// that the program the file came from is not held while a study runs.
void AcceptProblemDrops(QWidget* window, std::function<void(const QString&)> open);

} // namespace davrenta
