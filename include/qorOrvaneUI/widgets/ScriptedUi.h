#pragma once

#include <qorOrvaneUI/widgets/Ui.h>

#include <QRect>
#include <QString>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QDialog;

namespace orvane::test {

// A Ui that plays the user: message boxes are answered from a queue (OK, or
// the first button, when the queue is empty) and recorded; a dialog shown
// modally runs the next scripted callback, which plays the user and closes it.
class ScriptedUi : public Ui {
public:
    struct Box {
        QString text;
        MsgButtons buttons;
        MsgIcon icon;
        QString title; // the title the user saw (the default title when none was given)
        MsgResult answer;
        MsgResult defaultButton; // the button Enter presses
    };
    using DialogScript = std::function<void(QDialog *)>;
    // Plays the print dialog: sets the printer up and says whether to print.
    using PrinterScript = std::function<bool(QPrinter &)>;
    struct FileAsk {
        QString caption;
        QString suggestedPath;
        QString filter;
    };

    MsgResult msgBox(const QString &text, MsgButtons buttons, MsgIcon icon,
                     const QString &title) override;
    MsgResult msgBoxWithDefault(const QString &text, MsgButtons buttons, MsgIcon icon,
                                const QString &title, MsgResult defaultButton) override;
    int showModal(QDialog *dialog) override;
    void doEvents() override;
    QRect windowRect(WindowHandle handle) override;
    QSize screenSize() override;
    // Answered from the queue; an empty queue (or an empty name) cancels.
    QString saveFileName(QWidget *parent, const QString &caption, const QString &suggestedPath,
                         const QString &filter) override;
    // Runs the next printer script; none left cancels.
    bool choosePrinter(QWidget *parent, QPrinter &printer) override;

    void answer(MsgResult result) { answers_.push_back(result); }
    void onDialog(DialogScript script) { scripts_.push_back(std::move(script)); }
    void answerFileName(const QString &path) { fileNames_.push_back(path); }
    void onPrinter(PrinterScript script) { printers_.push_back(std::move(script)); }
    void setWindowRect(WindowHandle handle, const QRect &rect) { windows_[handle] = rect; }
    void setScreenSize(const QSize &size) { screen_ = size; }

    const std::vector<Box> &boxes() const { return boxes_; }
    const std::vector<QString> &dialogsShown() const { return dialogs_; }
    int doEventsCalls() const { return doEvents_; }
    const std::vector<FileAsk> &fileNamesAsked() const { return fileAsks_; }
    int printersAsked() const { return printersAsked_; }
    void clear();

private:
    std::deque<MsgResult> answers_;
    std::deque<DialogScript> scripts_;
    std::vector<Box> boxes_;
    std::vector<QString> dialogs_;
    std::deque<QString> fileNames_;
    std::vector<FileAsk> fileAsks_;
    std::deque<PrinterScript> printers_;
    int printersAsked_ = 0;
    std::map<WindowHandle, QRect> windows_;
    QSize screen_{1920, 1080};
    int doEvents_ = 0;
};

// Installs a fresh ScriptedUi for the life of a test and puts the previous one back.
class ScopedScriptedUi {
public:
    ScopedScriptedUi();
    ~ScopedScriptedUi();
    ScriptedUi &operator*() { return *ui_; }
    ScriptedUi *operator->() { return ui_.get(); }

private:
    std::shared_ptr<ScriptedUi> ui_;
    std::shared_ptr<Ui> previous_;
};

} // namespace orvane::test
