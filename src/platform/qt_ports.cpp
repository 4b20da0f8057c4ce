#include "platform/qt_ports.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTranslator>
#include <QUrl>

namespace tc::qt {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString& text) { return text.toStdString(); }

QString DecodeCp1251(const std::string& bytes) {
    QStringDecoder decoder("windows-1251");
    if (!decoder.isValid()) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

char32_t LocaleDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    if (point.isEmpty()) return U'.';
    const auto codes = point.toUcs4();
    return codes.isEmpty() ? U'.' : codes.front();
}

bool LoadToolkitTexts(QTranslator& translator, const QLocale& locale) {
    return translator.load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

namespace {
void Box(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const std::string& text) {
    QMessageBox box(icon, caption, FromUtf8(text), QMessageBox::Ok, parent);
    box.exec();
}
}  // namespace

void BoxMessages::Warning(const std::string& text) { Box(parent_, QMessageBox::Warning, "Warning", text); }
void BoxMessages::Error(const std::string& text) { Box(parent_, QMessageBox::Critical, "Error", text); }
void BoxMessages::AppError(const std::string& text) { Box(parent_, QMessageBox::Critical, kApplicationTitle, text); }

Answer BoxQuestions::Ask(const Question& question) {
    QMessageBox box(QMessageBox::Question, kApplicationTitle, FromUtf8(question.text), QMessageBox::NoButton, parent_);
    QPushButton* yes = box.addButton(FromUtf8(question.yes), QMessageBox::YesRole);
    QPushButton* no = box.addButton(FromUtf8(question.no), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(FromUtf8(question.cancel), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes) return Answer::Yes;
    if (box.clickedButton() == no) return Answer::No;
    return Answer::Cancel;
}

QFileDialog& DialogChooser::Dialog() {
    if (dialog_) return *dialog_;
    dialog_ = std::make_unique<QFileDialog>(parent_);
    dialog_->setObjectName("OpenDialog1");
    dialog_->setOption(QFileDialog::DontUseNativeDialog);
    dialog_->setAcceptMode(QFileDialog::AcceptOpen);
    dialog_->setFileMode(QFileDialog::ExistingFile);
    // No dot in the pattern: every name that ends in "asm" is listed.
    dialog_->setNameFilter("asm (*asm)");
    return *dialog_;
}

std::optional<std::string> DialogChooser::ChooseSource(const std::string& proposedName) {
    QFileDialog& dialog = Dialog();
    dialog.selectFile(FromUtf8(proposedName));
    const int answer = dialog.exec();
    // Enter on a typed name can leave its completion list open, over the window, once the dialog is gone.
    for (QCompleter* completer : dialog.findChildren<QCompleter*>()) completer->popup()->hide();
    if (answer != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return ToUtf8(files.front());
}

void SystemDesktop::OpenDocument(const std::string& name) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::current().absoluteFilePath(FromUtf8(name))));
}

bool SystemDesktop::OnSearchPath(const std::string& program) {
    return !QStandardPaths::findExecutable(FromUtf8(program)).isEmpty();
}

std::string SystemDesktop::ProgramBeside(const std::string& name) {
    // Installed together, the two programs share a folder.
    const QFileInfo program(QDir(QCoreApplication::applicationDirPath()).filePath(FromUtf8(name)));
    const QFileInfo windowsProgram(program.filePath() + ".exe");
    if (program.isFile() && program.isExecutable()) return ToUtf8(program.absoluteFilePath());
    if (windowsProgram.isFile() && windowsProgram.isExecutable()) return ToUtf8(windowsProgram.absoluteFilePath());
    return {};
}

bool SystemDesktop::InCurrentFolder(const std::string& name) {
    return QFileInfo(QDir::current().filePath(FromUtf8(name))).isFile();
}

std::string SystemDesktop::InstalledDocument(const std::string& name) {
    // Beside the program in a build folder or an unpacked zip; in share/timingcalc once installed.
    const QDir programFolder(QCoreApplication::applicationDirPath());
    for (const QString& path :
         {programFolder.filePath(FromUtf8(name)), programFolder.filePath("../share/timingcalc/" + FromUtf8(name))}) {
        const QFileInfo document(path);
        if (document.isFile()) return ToUtf8(QDir::cleanPath(document.absoluteFilePath()));
    }
    return {};
}

bool SystemDesktop::StartDetached(const AssemblerCommand& command) {
    QProcess process;
    process.setProgram(FromUtf8(command.program));
    QStringList arguments;
    for (const auto& argument : command.arguments) arguments << FromUtf8(argument);
    process.setArguments(arguments);
#ifdef Q_OS_WIN
    process.setNativeArguments(FromUtf8(command.nativeArguments));
#endif
    if (!command.workingDirectory.empty()) process.setWorkingDirectory(FromUtf8(command.workingDirectory));
    return process.startDetached();
}

}  // namespace tc::qt
