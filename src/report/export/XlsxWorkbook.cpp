#include "XlsxWorkbook.h"

#include "report/model/rpStreams.h"
#include "report/model/rpUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>

namespace {

lxw_color_t Rgb(int32_t rgb)
{
    // libxlsxwriter takes 0 for "no colour": black has a value of its own.
    return rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : static_cast<lxw_color_t>(rgb & 0xFFFFFF);
}

} // namespace

XlsxWorkbook::XlsxWorkbook(const QString& target, const QString& tempDir) : target_(target)
{
    QString folder = QFileInfo(target).absolutePath();
    temporary_ = CreateTempFileIn(folder);
    tempDir_ = QFile::encodeName(tempDir.isEmpty() ? GetTempFolder() : tempDir);
    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    options.tmpdir = tempDir_.data();
    options.use_zip64 = LXW_TRUE; // a big report may pass 4 GB before compression
    const QByteArray name = QFile::encodeName(temporary_);
    workbook_ = workbook_new_opt(name.constData(), &options);
    if (workbook_ != nullptr)
        worksheet_ = workbook_add_worksheet(workbook_, nullptr);
    if (workbook_ == nullptr || worksheet_ == nullptr) {
        Discard();
        RaiseCannotCreate(target, QString::fromUtf8(lxw_strerror(LXW_ERROR_MEMORY_MALLOC_FAILED)));
    }
}

XlsxWorkbook::~XlsxWorkbook()
{
    Discard();
}

void XlsxWorkbook::Discard()
{
    if (workbook_ != nullptr) {
        // Closing is the only way to free a workbook; what it writes is thrown away below.
        workbook_close(workbook_);
        workbook_ = nullptr;
        worksheet_ = nullptr;
    }
    if (!temporary_.isEmpty()) {
        QFile::remove(temporary_);
        temporary_.clear();
    }
}

lxw_format* XlsxWorkbook::Format(const XlsxCellFormat& f)
{
    const auto found = formats_.find(f);
    if (found != formats_.end())
        return found->second;
    lxw_format* format = workbook_add_format(workbook_);
    if (format == nullptr)
        return nullptr;
    if (!f.FontName.isEmpty())
        format_set_font_name(format, f.FontName.toUtf8().constData());
    if (f.FontSize > 0)
        format_set_font_size(format, f.FontSize);
    if (f.FontColor >= 0)
        format_set_font_color(format, Rgb(f.FontColor));
    if (f.Bold)
        format_set_bold(format);
    if (f.Italic)
        format_set_italic(format);
    if (f.Underline)
        format_set_underline(format, LXW_UNDERLINE_SINGLE);
    if (f.FillColor >= 0) {
        format_set_pattern(format, LXW_PATTERN_SOLID);
        format_set_bg_color(format, Rgb(f.FillColor));
    }
    switch (f.HAlign) {
    case 0: format_set_align(format, LXW_ALIGN_LEFT); break;
    case 1: format_set_align(format, LXW_ALIGN_RIGHT); break;
    case 2: format_set_align(format, LXW_ALIGN_CENTER); break;
    case 3: format_set_align(format, LXW_ALIGN_JUSTIFY); break;
    default: break;
    }
    switch (f.VAlign) {
    case 0: format_set_align(format, LXW_ALIGN_VERTICAL_TOP); break;
    case 1: format_set_align(format, LXW_ALIGN_VERTICAL_BOTTOM); break;
    case 2: format_set_align(format, LXW_ALIGN_VERTICAL_CENTER); break;
    default: break;
    }
    if (f.Borders & 1)
        format_set_left(format, LXW_BORDER_THIN);
    if (f.Borders & 2)
        format_set_right(format, LXW_BORDER_THIN);
    if (f.Borders & 4)
        format_set_top(format, LXW_BORDER_THIN);
    if (f.Borders & 8)
        format_set_bottom(format, LXW_BORDER_THIN);
    if (f.Rotation != 0)
        format_set_rotation(format, static_cast<int16_t>(std::clamp(f.Rotation, -90, 90)));
    if (f.Wrap)
        format_set_text_wrap(format);
    if (!f.NumberFormat.isEmpty())
        format_set_num_format(format, f.NumberFormat.toUtf8().constData());
    formats_.emplace(f, format);
    return format;
}

void XlsxWorkbook::SetColumnWidth(int column, double characters)
{
    worksheet_set_column(worksheet_, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column), characters,
                         nullptr);
}

void XlsxWorkbook::SetRowHeight(int row, double points)
{
    worksheet_set_row(worksheet_, static_cast<lxw_row_t>(row), points, nullptr);
}

void XlsxWorkbook::SetDefaultRowHeight(double points)
{
    worksheet_set_default_row(worksheet_, points, LXW_FALSE);
}

void XlsxWorkbook::WriteString(int row, int column, const QString& text, lxw_format* format)
{
    // A cell holds at most kMaxTextLength characters; libxlsxwriter refuses longer texts whole.
    QString value = text.size() > kMaxTextLength ? text.left(kMaxTextLength) : text;
    if (value.size() == kMaxTextLength && value.back().isHighSurrogate())
        value.chop(1);
    if (value.isEmpty()) {
        WriteBlank(row, column, format);
        return;
    }
    worksheet_write_string(worksheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                           value.toUtf8().constData(), format);
}

void XlsxWorkbook::WriteNumber(int row, int column, double value, lxw_format* format)
{
    worksheet_write_number(worksheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), value, format);
}

void XlsxWorkbook::WriteBlank(int row, int column, lxw_format* format)
{
    // libxlsxwriter ignores a blank cell without format; there is nothing to keep then.
    if (format != nullptr)
        worksheet_write_blank(worksheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), format);
}

void XlsxWorkbook::MergeRange(int firstRow, int firstColumn, int lastRow, int lastColumn, lxw_format* format)
{
    worksheet_merge_range(worksheet_, static_cast<lxw_row_t>(firstRow), static_cast<lxw_col_t>(firstColumn),
                          static_cast<lxw_row_t>(lastRow), static_cast<lxw_col_t>(lastColumn), "", format);
}

void XlsxWorkbook::InsertPicture(int row, int column, const QByteArray& png, int xOffset, int yOffset, double xScale,
                                 double yScale)
{
    if (png.isEmpty())
        return;
    pictures_.push_back(std::make_unique<QByteArray>(png));
    const QByteArray& bytes = *pictures_.back();
    lxw_image_options options{};
    options.x_offset = xOffset;
    options.y_offset = yOffset;
    options.x_scale = xScale;
    options.y_scale = yScale;
    worksheet_insert_image_buffer_opt(worksheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                                      reinterpret_cast<const unsigned char*>(bytes.constData()),
                                      static_cast<size_t>(bytes.size()), &options);
}

void XlsxWorkbook::SetMargins(double left, double right, double top, double bottom)
{
    worksheet_set_margins(worksheet_, left, right, top, bottom);
}

void XlsxWorkbook::SetLandscape(bool landscape)
{
    if (landscape)
        worksheet_set_landscape(worksheet_);
    else
        worksheet_set_portrait(worksheet_);
}

void XlsxWorkbook::ShowGridLines(bool show)
{
    worksheet_gridlines(worksheet_, show ? LXW_SHOW_SCREEN_GRIDLINES : LXW_HIDE_ALL_GRIDLINES);
}

int XlsxWorkbook::SetPageBreaks(const std::vector<uint32_t>& rows)
{
    breaks_.clear();
    for (uint32_t row : rows) {
        if (breaks_.size() >= static_cast<size_t>(kMaxPageBreaks))
            break;
        // 0 ends the list; a page cannot start before the first row anyway.
        if (row > 0)
            breaks_.push_back(row);
    }
    const int stored = static_cast<int>(breaks_.size());
    breaks_.push_back(0);
    if (stored > 0)
        worksheet_set_h_pagebreaks(worksheet_, breaks_.data());
    return stored;
}

QString XlsxWorkbook::Commit()
{
    lxw_workbook* workbook = workbook_;
    workbook_ = nullptr;
    worksheet_ = nullptr;
    const lxw_error error = workbook != nullptr ? workbook_close(workbook) : LXW_ERROR_MEMORY_MALLOC_FAILED;
    pictures_.clear();
    formats_.clear();
    if (error != LXW_NO_ERROR) {
        const QString reason = QString::fromUtf8(lxw_strerror(error));
        Discard();
        return reason;
    }
    const QByteArray from = QFile::encodeName(temporary_);
    const QByteArray to = QFile::encodeName(QFileInfo(target_).absoluteFilePath());
    // The new file gets the old one's permissions, or those of any new file of the user.
    struct stat old {};
    mode_t mode = 0;
    if (::stat(to.constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::chmod(from.constData(), mode);
    if (std::rename(from.constData(), to.constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        Discard();
        return reason;
    }
    temporary_.clear();
    return QString();
}
