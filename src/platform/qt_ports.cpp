#include "platform/qt_ports.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QUrl>

namespace tc::qt {

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

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

namespace {
void Box(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const std::string& text) {
    QMessageBox box(icon, caption, FromUtf8(text), QMessageBox::Ok, parent);
    box.exec();
}
}  // namespace

void BoxMessages::Warning(const std::string& text) { Box(parent_, QMessageBox::Warning, "Warning", text); }
void BoxMessages::Error(const std::string& text) { Box(parent_, QMessageBox::Critical, "Error", text); }
void BoxMessages::AppError(const std::string& text) {
    Box(parent_, QMessageBox::Critical, kApplicationTitle, text);
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
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return ToUtf8(files.front());
}

FileStore::ReadResult DiskFiles::Read(const std::string& path) {
    ReadResult result;
    const QString name = FromUtf8(path);
    QFile file(name);
    if (QFileInfo(name).isDir() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        result.status = ReadResult::CannotOpen;
        return result;
    }
    // Straight into the string, with no copy between buffers.
    const qint64 size = file.size();
    qint64 got = 0;
    if (size > 0) {
        result.bytes.resize(static_cast<std::size_t>(size));
        for (qint64 n; got < size && (n = file.read(result.bytes.data() + got, size - got)) > 0;) got += n;
        result.bytes.resize(static_cast<std::size_t>(got));
    }
    // Files that do not know their size, or that grew meanwhile: the rest as it comes.
    if (got == size && file.error() == QFileDevice::NoError) {
        const QByteArray rest = file.readAll();
        result.bytes.append(rest.constData(), static_cast<std::size_t>(rest.size()));
    }
    if (file.error() != QFileDevice::NoError) {
        result.status = ReadResult::ReadError;
        result.error = "Read error on \"" + path + "\". " + ToUtf8(file.errorString());
        result.bytes.clear();
        return result;
    }
    return result;
}

std::optional<std::string> DiskFiles::Write(const std::string& path, std::span<const std::string_view> pieces) {
    // A temporary file beside the source, renamed over it only once complete.
    const QString name = FromUtf8(path);
    const bool existed = QFileInfo::exists(name);
    // Only the mode bits: the "user" flags say what this process may do, and root may write.
    const QFile::Permissions mode =
        QFile::permissions(name) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) return ToUtf8(file.errorString());
    for (const std::string_view bytes : pieces) {
        const qint64 size = static_cast<qint64>(bytes.size());
        if (file.write(bytes.data(), size) != size) {
            const std::string error = ToUtf8(file.errorString());
            file.cancelWriting();
            return error;
        }
    }
    // commit() renames even when its own flush fails, as on a full disk, and the
    // source would become the truncated copy: flush first and keep the original.
    if (!file.flush()) {
        const std::string error = ToUtf8(file.errorString());
        file.cancelWriting();
        return error;
    }
    if (!file.commit()) return ToUtf8(file.errorString());
    // The new file takes the old one's mode; a read-only source saved by root stays read-only.
    if (existed) QFile::setPermissions(name, mode);
    return std::nullopt;
}

void SystemDesktop::OpenDocument(const std::string& name) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::current().absoluteFilePath(FromUtf8(name))));
}

bool SystemDesktop::OnSearchPath(const std::string& program) {
    return !QStandardPaths::findExecutable(FromUtf8(program)).isEmpty();
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
