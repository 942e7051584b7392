#pragma once

// The pictures of prepared picture views, kept apart from the pages: an append-only log of
// picture files numbered from 1. A prepared view carries only its number (ImageIndex) and
// fetches its picture when its page is rebuilt. The bytes stay in memory, or with
// UseFileCache in temporary files "rpPicXXXXXX", and go into a prepared-report file as
// hexadecimal text.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class QFile;
class TrpPictureView;
class TrpXMLItem;

// A segment grows until it holds more than this many bytes; the next picture starts another.
inline constexpr qint64 kMaxPictureSegmentBytes = 1789569705;

class TrpPictureCache {
public:
    TrpPictureCache();
    ~TrpPictureCache();
    TrpPictureCache(const TrpPictureCache&) = delete;
    TrpPictureCache& operator=(const TrpPictureCache&) = delete;

    // Both change only while the cache holds no segment (after construction or Clear).
    bool UseFileCache() const { return useFileCache_; }
    void SetUseFileCache(bool value);
    // The folder of the temporary files; empty: the system's temporary folder.
    const QString& TempDir() const { return tempDir_; }
    void SetTempDir(const QString& value);

    // How many pictures the cache holds.
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }

    // Stores the view's picture and gives the view its number; a view without a picture gets
    // 0 and nothing is stored. The number is given only once the bytes are stored: when
    // storing fails (a temporary file that cannot be made) the error is raised, the view
    // keeps 0 and the next picture gets the number this one would have had.
    void AddPicture(TrpPictureView* picture);
    // Loads picture number ImageIndex into the view; a number outside 1..Count clears its
    // picture.
    void GetPicture(TrpPictureView* picture) const;
    // The bytes of picture `number` (1..Count), empty outside.
    QByteArray PictureBytes(int32_t number) const;
    // Frees every segment (in file mode deleting its file) and empties the index.
    void Clear();

    // The pictures as children "item" of `item`, each with the attribute "stream": the bytes
    // as two upper-case hexadecimal digits each.
    void SaveToXML(TrpXMLItem* item) const;
    // Replaces the pictures by those of the children of `item` (whatever their names). A
    // "stream" holding anything but hexadecimal digits raises "Invalid hexadecimal text" and
    // leaves the cache as it was; an odd last digit is dropped.
    void LoadFromXML(TrpXMLItem* item);

    // The temporary files of the segments, in order (file mode).
    QStringList TempFiles() const;

private:
    struct Entry {
        int32_t Segment = 0;
        qint64 Offset = 0;
    };
    struct Segment;

    // Opens a new segment: a temporary file in file mode, a byte array otherwise.
    void AddSegment();
    // Appends the bytes as a new picture (opening a segment when there is none or the last
    // one is full) and answers its number.
    int32_t Append(const QByteArray& bytes);
    qint64 SegmentSize(const Segment& segment) const;

    std::vector<Entry> items_;                      // one per picture, in number order
    std::vector<std::unique_ptr<Segment>> segments_; // pictures follow each other in each
    QString tempDir_;
    bool useFileCache_ = false;
};
