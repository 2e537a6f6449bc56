#pragma once
// The desktop services the windows rely on that a test must be able to see
// or script: modal message boxes and the file-open dialog. Windows call them
// only through CurrentToolkit(); tests install their own implementation.
#include <QString>

#include <optional>

class QWidget;

namespace qrvtune {

enum class MessageIcon { None, Information, Warning, Error };

class Toolkit {
public:
    virtual ~Toolkit() = default;

    // A modal box with `text`, one OK button and the application title as
    // caption; returns once dismissed. May be called from any thread: the
    // box always appears on the window thread, and the caller waits.
    // `informative`, when not empty, is the box's second text: why it
    // happened and what to do.
    virtual void ShowMessage(const QString& text, MessageIcon icon, const QString& informative) = 0;

    // The platform's open-file dialog. `filter` uses the "text|pattern|...||"
    // form ("bin Files (*.bin)|*.bin||"). The chosen file's full path, or
    // nothing when the user cancels.
    virtual std::optional<QString> OpenFileName(QWidget* parent, const QString& filter) = 0;

    // The platform's save-file dialog, same filter form, `suggested` as the
    // proposed name; the chosen path, or nothing when the user cancels.
    virtual std::optional<QString> SaveFileName(QWidget* parent, const QString& filter,
                                                const QString& suggested = QString()) = 0;

    // A modal question with "是" and "否" (window thread only); true for "是".
    // A toolkit that cannot ask answers "否": nothing risky happens unasked.
    virtual bool Ask(const QString& text, const QString& informative);
};

// The installed toolkit; the Qt one unless a test installed another.
Toolkit& CurrentToolkit();

// Installs `toolkit` (not owned); nullptr goes back to the Qt toolkit.
void InstallToolkit(Toolkit* toolkit);

// Shorthand for CurrentToolkit().ShowMessage.
void ShowMessage(const QString& text, MessageIcon icon = MessageIcon::None, const QString& informative = QString());

// The toolkit's own refusal of a whole-number box that holds no acceptable
// number ("请输入一个整数。"); the box then keeps its previous value.
void ShowNotANumber();

// Shorthand for CurrentToolkit().Ask.
bool Ask(const QString& text, const QString& informative = QString());

}  // namespace qrvtune
