#include "ui/Dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>
#include <deque>

#include "ui/UFolderChooser.h"

namespace ui {
namespace {

struct Recorder {
    bool active = false;
    QList<Dialogs::Record> records;
    std::deque<QString> answers;  // a null string stands for Cancel
    std::function<void(const QString&)> unanswered;
};

Recorder& recorder() {
    static Recorder instance;
    return instance;
}

QString boxTitle() {
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("Firmware Tessaro") : name;
}

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, boxTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

// Records a prompt and hands out the next queued answer.
std::optional<QString> recordedAnswer(Dialogs::Record record) {
    Recorder& r = recorder();
    const QString what = record.text;
    r.records.append(std::move(record));
    if (r.answers.empty()) {
        if (r.unanswered) r.unanswered(what);
        return std::nullopt;
    }
    const QString answer = r.answers.front();
    r.answers.pop_front();
    if (answer.isNull()) return std::nullopt;
    return answer;
}

std::optional<QString> runFileDialog(QWidget* parent, const FileChooserSettings& settings,
                                     QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, settings.title, settings.initialFolder, settings.filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(settings.defaultSuffix);
    if (mode == QFileDialog::AcceptSave) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

}  // namespace

void Dialogs::information(QWidget* parent, const QString& text) {
    if (isRecording()) return recorder().records.append({Kind::Information, text, {}, {}});
    showBox(parent, QMessageBox::Information, text);
}

void Dialogs::error(QWidget* parent, const QString& text) {
    if (isRecording()) return recorder().records.append({Kind::Error, text, {}, {}});
    showBox(parent, QMessageBox::Critical, text);
}

void Dialogs::standardError(QWidget* parent, const QString& text) {
    if (isRecording()) return recorder().records.append({Kind::StandardError, text, {}, {}});
    showBox(parent, QMessageBox::Critical, text);
}

bool Dialogs::question(QWidget* parent, const QString& text) {
    if (isRecording()) return recordedAnswer({Kind::Question, text, {}, {}}).has_value();
    QMessageBox box(QMessageBox::Question, boxTitle(), text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> Dialogs::openFile(QWidget* parent, const FileChooserSettings& settings) {
    if (isRecording()) return recordedAnswer({Kind::OpenFile, settings.title, settings, {}});
    return runFileDialog(parent, settings, QFileDialog::AcceptOpen);
}

std::optional<QString> Dialogs::saveFile(QWidget* parent, const FileChooserSettings& settings) {
    if (isRecording()) return recordedAnswer({Kind::SaveFile, settings.title, settings, {}});
    return runFileDialog(parent, settings, QFileDialog::AcceptSave);
}

std::optional<QString> Dialogs::chooseFolder(QWidget* parent, const QString& title, const QString& root,
                                             const QString& preselected) {
    if (isRecording()) return recordedAnswer({Kind::Folder, title, {{}, {}, root, title}, preselected});
    TFFolderChooser chooser(parent, title, root, preselected);
    if (chooser.exec() != QDialog::Accepted) return std::nullopt;
    return chooser.selectedFolder();
}

void Dialogs::openUrl(const QString& url) {
    if (isRecording()) return recorder().records.append({Kind::Url, url, {}, {}});
    QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

void Dialogs::startRecording() {
    recorder() = Recorder{};
    recorder().active = true;
}

void Dialogs::stopRecording() {
    recorder() = Recorder{};
}

bool Dialogs::isRecording() {
    return recorder().active;
}

void Dialogs::queueAnswer(std::optional<QString> answer) {
    recorder().answers.push_back(answer ? (answer->isNull() ? QString(QLatin1String("")) : *answer) : QString());
}

void Dialogs::queueQuestionAnswer(bool yes) {
    recorder().answers.push_back(yes ? QStringLiteral("Yes") : QString());
}

int Dialogs::queuedAnswers() {
    return static_cast<int>(recorder().answers.size());
}

QList<Dialogs::Record> Dialogs::records() {
    return recorder().records;
}

QList<Dialogs::Record> Dialogs::takeRecords() {
    QList<Record> taken;
    taken.swap(recorder().records);
    return taken;
}

void Dialogs::setUnansweredHandler(std::function<void(const QString&)> handler) {
    recorder().unanswered = std::move(handler);
}

bool UnreadDocument::mayReplace(QWidget* parent) const {
    if (!isSet()) return true;
    // A message that ends its own sentence does not get a second full stop.
    QString message = QString::fromStdString(m_message);
    if (message.endsWith(QLatin1Char('.'))) message.chop(1);
    return Dialogs::question(parent, QString::fromStdString(m_path) + QStringLiteral(" could not be read: ") + message +
                                         QStringLiteral(". Saving replaces it with what the window shows. "
                                                        "Save anyway?"));
}

}  // namespace ui
