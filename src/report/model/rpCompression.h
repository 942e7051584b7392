#pragma once

#include "platform/Exceptions.h"

#include <QByteArray>

class QIODevice;

// Compressed data that does not inflate (a corrupt or foreign member, a wrong checksum), and
// a compression that zlib refuses; the message is zlib's.
class EDecompressionError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

class ECompressionError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

// Members that would inflate to more than this are refused.
inline constexpr qint64 kMaxDecompressedSize = qint64{256} * 1024 * 1024;

// Unpacks a gzip member of the image resources from the source's position to its end and
// appends the data to the destination (at its position); returns the member's stored file
// name (empty when none). These members keep the Adler-32 of the data where gzip keeps the
// modification time, and that checksum is verified: a standard gzip file fails, and so does
// any corrupt member, leaving the destination untouched.
QByteArray DecompressResourceStream(QIODevice& source, QIODevice& destination);

// Writes the whole source, from its start, to the destination as one zlib stream (header,
// deflate data, Adler-32) at the given level (0..9, or -1 for zlib's default).
void CompressStream(QIODevice& source, QIODevice& destination, int level);
