#pragma once

#include <QIcon>
#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace vorn::checker {

// Everything the main window asks of the desktop, gathered so that a test
// can answer instead of a person: the questions, the folder picker, the
// fades and the opening of files and pages. DefaultWindowServices() gives
// the real ones.
struct WindowServices {
    // A Yes/No question with the exclamation icon; true for Yes.
    std::function<bool(QWidget* parent, const QString& text)> askYesNo;
    // A message with an OK button.
    std::function<void(QWidget* parent, const QString& text)> inform;
    // The folder for the reports, empty when cancelled.
    std::function<QString(const QString& prompt)> pickFolder;
    // Hands a file or page to the desktop; false when nothing could open it.
    std::function<bool(const QString& fileOrUrl)> openExternal;

    // Fades: prepare once (shown or hidden), fade in or out, release at exit.
    std::function<void(QWidget* window, bool show)> createSmoothly;
    std::function<void(QWidget* window, bool show, int step, int percent)> showSmoothly;
    std::function<void()> destroySmoothly;

    // Runs a dialog of the window modally (the detail dialog, the about box).
    std::function<void(QDialog& dialog)> runModal;

    // The picture every disk button shows: the drive of the root folder.
    std::function<QIcon()> driveIcon;
};

WindowServices DefaultWindowServices();

} // namespace vorn::checker
