#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace ui {

// What a file chooser is set up with. The filter is in Qt's form
// ("Generic Station Description (*.gsd)"); an empty title leaves the
// platform's own.
struct FileChooserSettings {
    QString filter;
    QString defaultSuffix;
    QString initialFolder;
    QString title;
};

// The one place that shows message boxes, file and folder choosers and opens
// web pages. In the program it shows real dialogs; tests switch it to
// recording mode, queue the answers of the choosers and read back what was
// shown, in order.
class Dialogs {
public:
    enum class Kind { Information, Error, StandardError, Question, OpenFile, SaveFile, Folder, Url };

    struct Record {
        Kind kind;
        QString text;                 // the message, the chooser's title, or the address
        FileChooserSettings chooser;  // file choosers; for the folder chooser the initial folder is the root
        QString preselected;          // folder chooser only
    };

    // Information box with one OK button (guards and refusals).
    static void information(QWidget* parent, const QString& text);
    // Error box with the error icon and one OK button (validation errors).
    static void error(QWidget* parent, const QString& text);
    // The standard error box: the text of a failure that no handler caught.
    static void standardError(QWidget* parent, const QString& text);

    // A question with the buttons Yes and No, No the default: answers whether
    // the user chose Yes.
    static bool question(QWidget* parent, const QString& text);

    // The chosen file's full path, or nothing when the user cancelled.
    static std::optional<QString> openFile(QWidget* parent, const FileChooserSettings& settings);
    // As openFile; the save chooser asks no question when the file exists.
    static std::optional<QString> saveFile(QWidget* parent, const FileChooserSettings& settings);
    // A folder at or below root (which can be picked itself), or nothing.
    static std::optional<QString> chooseFolder(QWidget* parent, const QString& title, const QString& root,
                                               const QString& preselected);

    // Opens a web page or a mail address with the user's default program.
    static void openUrl(const QString& url);

    // Recording mode for tests.
    static void startRecording();
    static void stopRecording();
    static bool isRecording();
    // Next answer of a chooser: a path, or nothing for Cancel.
    static void queueAnswer(std::optional<QString> answer);
    // Next answer of a question: Yes or No.
    static void queueQuestionAnswer(bool yes);
    static int queuedAnswers();
    static QList<Record> records();
    static QList<Record> takeRecords();
    // Called when a chooser finds no queued answer; the chooser then answers Cancel.
    static void setUnansweredHandler(std::function<void(const QString&)> handler);
};

// The document that a window could not read while it was shown, and why.
// OK must not silently replace a document with content that was never read
// from it (defaults, or what an earlier showing left in the controls), so a
// window whose showing failed asks before it saves.
class UnreadDocument {
public:
    void clear() {
        m_path.clear();
        m_message.clear();
    }
    // Keeps the first failure of a showing; later ones are its consequences.
    void set(const std::string& path, const std::string& message) {
        if (!m_path.empty()) return;
        m_path = path;
        m_message = message;
    }
    bool isSet() const { return !m_path.empty(); }
    // Answers whether the window may write its document: yes when the
    // showing read it, else the user's answer to "<path> could not be read:
    // <message>. Saving replaces it with what the window shows. Save anyway?".
    bool mayReplace(QWidget* parent) const;

private:
    std::string m_path;
    std::string m_message;
};

}  // namespace ui
