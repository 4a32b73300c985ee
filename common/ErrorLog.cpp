#include "ErrorLog.h"

#include "ErrorNotice.h"
#include "LastError.h"
#include "SafeFile.h"
#include "UniqueFd.h"
#include "WideText.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

std::FILE* g_logStream = nullptr;
int g_logFailure = 0;

void noteFailure(int code) {
    if (!g_logFailure)
        g_logFailure = code ? code : EIO;
}

// A root run must not write through a link someone else planted, nor into
// a device.
std::FILE* openLog(const QByteArray& fileName, bool append) {
    int failure = 0;
    vorn::UniqueFd fd(Cm_OpenRegularFileForWriting(fileName, append, &failure));
    if (!fd.valid()) {
        noteFailure(failure);
        return nullptr;
    }
    std::FILE* stream = ::fdopen(fd.get(), append ? "ab" : "wb");
    if (!stream) {
        noteFailure(errno);
        return nullptr;
    }
    fd.release(); // the stream closes it now
    return stream;
}

DWORD resolveCode(DWORD code) {
    return code == 0xFFFFFFFFu ? win::GetLastError() : code;
}

QString timeStamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
    return QString::fromLatin1(text);
}

// Text mode as the log's readers expect it: every line feed stored as CR LF.
void writeTextMode(const QString& text) {
    QByteArray bytes = text.toUtf8();
    bytes.replace("\n", "\r\n");
    if (std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), g_logStream) !=
            static_cast<size_t>(bytes.size()) ||
        std::fflush(g_logStream) != 0)
        noteFailure(errno);
}

QString errorText(DWORD code) {
    return QStringLiteral("[Error:%1] %2")
        .arg(static_cast<int>(code))
        .arg(Cm_SystemErrorText(code));
}

} // namespace

QString Cm_SystemErrorText(DWORD code) {
    char buffer[256] = {};
    // The GNU strerror_r may return a static text instead of filling buffer.
    const char* text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
    return QString::fromLocal8Bit(text ? text : "Unknown error") + QLatin1Char('\n');
}

int Cm_OpenErrorFile(const char16_t* path, int append) {
    Cm_CloseErrorFile();
    if (!path)
        return 0;
    g_logFailure = 0;
    g_logStream = openLog(Cm_FromWide(path).toLocal8Bit(), append != 0);
    return g_logStream != nullptr;
}

int Cm_CloseErrorFile() {
    if (!g_logStream)
        return 0;
    const int result = std::fclose(g_logStream);
    g_logStream = nullptr;
    if (result != 0)
        noteFailure(errno);
    return result;
}

int Cm_ErrorFileFailure() {
    return g_logFailure;
}

int Cm_WriteErrorString(const char16_t* text) {
    return Cm_WriteErrorString(Cm_FromWide(text));
}

int Cm_WriteErrorString(const QString& text) {
    if (!g_logStream)
        return 0;
    const QString line = QStringLiteral("[%1] %2\n").arg(timeStamp(), text);
    writeTextMode(line);
    return static_cast<int>(line.size());
}

DWORD Cm_WriteErrorMessage(DWORD code, DWORD ignored) {
    code = resolveCode(code);
    if (!g_logStream)
        return code;
    if (code == ignored)
        return 0;
    QString text = Cm_SystemErrorText(code);
    text.remove(QLatin1Char('\r'));
    writeTextMode(QStringLiteral("[%1] [Error:%2] %3")
                      .arg(timeStamp())
                      .arg(static_cast<int>(code))
                      .arg(text));
    return code;
}

DWORD Cm_ErrorMessage(DWORD code, DWORD ignored) {
    code = resolveCode(code);
    if (code == ignored)
        return code;
    Cm_ShowErrorNotice(QStringLiteral("Error Message"), errorText(code).left(1023));
    return code;
}

QString Cm_GetErrorMessage(int code, int ignored) {
    const DWORD resolved = resolveCode(static_cast<DWORD>(code));
    if (resolved == static_cast<DWORD>(ignored))
        return QString();
    return errorText(resolved);
}
