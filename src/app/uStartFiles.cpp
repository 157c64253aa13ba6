#include "app/uStartFiles.h"

#include "engine/uFileStreams.h"
#include "platform/qt/uFileNames.h"

bool ReadStartFile(const QString& FileName, QByteArray& Data)
{
    return ReadStartFile(QStringToFileName(FileName), Data);
}

bool ReadStartFile(const std::string& FileName, QByteArray& Data)
{
    Data.clear();
    try {
        TFileReader File(FileName);
        if (File.SizeKnown()) {
            if (File.Size() > StartFileLimit)
                return false;
            Data.resize(static_cast<qsizetype>(File.Size()));
            File.ReadBuffer(Data.data(), static_cast<std::size_t>(Data.size()));
            return true;
        }
        // No size to trust: read to the end, one byte past the limit at most.
        QByteArray Chunk(64 * 1024, Qt::Uninitialized);
        while (const std::size_t Got = File.ReadSome(Chunk.data(), static_cast<std::size_t>(Chunk.size()))) {
            if (Data.size() + static_cast<std::int64_t>(Got) > StartFileLimit) {
                Data.clear();
                return false;
            }
            Data.append(Chunk.constData(), static_cast<qsizetype>(Got));
        }
        return true;
    } catch (const std::exception&) {
        Data.clear();
        return false;
    }
}
