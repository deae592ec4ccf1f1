#pragma once
// The questions the desktop application asks its user, behind one table so tests can answer them
// without a person (a modal Qt dialog would wait for ever under the offscreen platform).
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

// What to do with unsaved changes.
enum class EUnsavedAnswer { Save, Discard, Cancel };

struct SDesktopPrompts {
    // A message box of the controls or the property pages: the text, answered with OK.
    std::function<void(QWidget* parent, const QString& title, const QString& text)> message;
    // A file to open or to save: the title, the filters ("Simulation files (*.orvex)"), whether
    // it is for saving, and the suggested name; nothing for Cancel.
    std::function<std::optional<QString>(QWidget* parent, const QString& title, const QStringList& filters,
                                         bool forSaving, const QString& suggested)>
        file;
    // Unsaved changes: save them, throw them away, or stay.
    std::function<EUnsavedAnswer(QWidget* parent, const QString& documentName)> unsaved;

    // The real dialogs.
    static SDesktopPrompts Interactive();
};
