#include "platform/qt/uFileNames.h"

#include <QByteArray>

namespace {

constexpr char16_t EscapeBase = 0xDC00;  // + a byte of 0x80 to 0xFF

// Length of the valid UTF-8 sequence at P (at most N bytes), 0 if none;
// its code point in CodePoint.
int SequenceAt(const unsigned char* P, std::size_t N, char32_t& CodePoint)
{
    const unsigned char C = P[0];
    int Length;
    if (C >= 0xC2 && C <= 0xDF) {
        Length = 2;
        CodePoint = C & 0x1F;
    } else if (C >= 0xE0 && C <= 0xEF) {
        Length = 3;
        CodePoint = C & 0x0F;
    } else if (C >= 0xF0 && C <= 0xF4) {
        Length = 4;
        CodePoint = C & 0x07;
    } else {
        return 0;
    }
    if (std::size_t(Length) > N)
        return 0;
    for (int K = 1; K < Length; ++K) {
        if ((P[K] & 0xC0) != 0x80)
            return 0;
        CodePoint = (CodePoint << 6) | (P[K] & 0x3F);
    }
    // Overlong forms, encoded surrogates and code points past U+10FFFF.
    if ((Length == 3 && (CodePoint < 0x800 || (CodePoint >= 0xD800 && CodePoint <= 0xDFFF))) ||
        (Length == 4 && (CodePoint < 0x10000 || CodePoint > 0x10FFFF)))
        return 0;
    return Length;
}

void AppendUtf8(std::string& Out, char32_t C)
{
    if (C < 0x80) {
        Out += char(C);
    } else if (C < 0x800) {
        Out += char(0xC0 | (C >> 6));
        Out += char(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += char(0xE0 | (C >> 12));
        Out += char(0x80 | ((C >> 6) & 0x3F));
        Out += char(0x80 | (C & 0x3F));
    } else {
        Out += char(0xF0 | (C >> 18));
        Out += char(0x80 | ((C >> 12) & 0x3F));
        Out += char(0x80 | ((C >> 6) & 0x3F));
        Out += char(0x80 | (C & 0x3F));
    }
}

}  // namespace

QString FileNameToQString(const std::string& Name)
{
    const auto* P = reinterpret_cast<const unsigned char*>(Name.data());
    const std::size_t N = Name.size();
    QString Out;
    Out.reserve(qsizetype(N));
    for (std::size_t I = 0; I < N;) {
        if (P[I] < 0x80) {
            Out += QChar(char16_t(P[I]));
            ++I;
            continue;
        }
        char32_t C = 0;
        const int Length = SequenceAt(P + I, N - I, C);
        if (Length == 0) {
            Out += QChar(char16_t(EscapeBase + P[I]));
            ++I;
            continue;
        }
        if (C >= 0x10000) {
            Out += QChar(QChar::highSurrogate(C));
            Out += QChar(QChar::lowSurrogate(C));
        } else {
            Out += QChar(char16_t(C));
        }
        I += std::size_t(Length);
    }
    return Out;
}

std::string QStringToFileName(const QString& Name)
{
    std::string Out;
    Out.reserve(std::size_t(Name.size()));
    for (qsizetype I = 0; I < Name.size(); ++I) {
        const char16_t U = Name[I].unicode();
        if (QChar::isHighSurrogate(U) && I + 1 < Name.size() && QChar::isLowSurrogate(Name[I + 1].unicode())) {
            AppendUtf8(Out, QChar::surrogateToUcs4(U, Name[I + 1].unicode()));
            ++I;
        } else if (U >= EscapeBase + 0x80 && U <= EscapeBase + 0xFF) {
            Out += char(U - EscapeBase);
        } else if (QChar::isSurrogate(U)) {
            AppendUtf8(Out, 0xFFFD);  // no byte stands behind it
        } else {
            AppendUtf8(Out, U);
        }
    }
    return Out;
}

QString CommandLineArgument(const char* Argument)
{
    // Paths keep their bytes even when they are not valid UTF-8.
    return FileNameToQString(Argument);
}

QString LocalFileFromUrl(const QUrl& Url)
{
    // The path's bytes as the sender encoded them: toLocalFile would replace
    // bytes of a name that is not UTF-8.
    if (Url.host().isEmpty()) {
        const QByteArray Bytes = QByteArray::fromPercentEncoding(Url.path(QUrl::FullyEncoded).toLatin1());
        return FileNameToQString(Bytes.toStdString());
    }
    return Url.toLocalFile();
}

QUrl UrlFromLocalFile(const std::string& AbsoluteName)
{
    const QString Name = FileNameToQString(AbsoluteName);
    if (Name.toStdString() == AbsoluteName)
        return QUrl::fromLocalFile(Name);
    // Not UTF-8: the URL carries the bytes themselves.
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(AbsoluteName).toPercentEncoding("/"),
                             QUrl::StrictMode);
}
