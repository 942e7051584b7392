// dax-tables: prints the 20 archive tables and the 2 journal tables of a data file as the
// device pages show them (default display options, mass, volume and pressure columns on),
// tab-separated UTF-8: a title line, a caption line, then one line per row. A row with red
// cells ends with one more field: "red" when the whole row is red (its check word does not
// match), "red from N" when cells N (counted from 1) to the end are. A file the loader refuses
// prints the loader's text and exits with 1.
#include "device/Daxhelper.h"
#include "platform/Exceptions.h"
#include "presentation/ArchiveTables.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const kUsage = "usage: dax-tables FILE.daxdat\n";

// The archive pages in the order of the device frame, and the sub-tabs of each.
struct Page {
    uint32_t part;
    const char* caption;
};
const Page kPages[] = {
    {ArchivePart::General, "Архив"},
    {ArchivePart::HeatSystem1, "Архив ТС1"},
    {ArchivePart::HeatSystem2, "Архив ТС2"},
    {ArchivePart::ColdWater, "Архив ХВС"},
};
const char* const kKindCaptions[ArchiveKind::Count] = {"Часовой", "Суточный", "Месячный", "Итоговый суточный",
                                                      "Итоговый месячный"};

std::string RedMark(const std::vector<TableCell>& row)
{
    size_t first = row.size();
    while (first > 0 && row[first - 1].Colour == kCellRed)
        --first;
    if (first == row.size())
        return {};
    if (first == 0)
        return "\tred";
    return "\tred from " + std::to_string(first + 1);
}

void Print(const std::string& title, const VectorTableSink& table)
{
    std::string out = title + "\n";
    const auto captions = table.Captions();
    for (size_t i = 0; i < captions.size(); ++i)
        out += (i ? "\t" : "") + captions[i];
    out += "\n";
    for (const auto& row : table.Rows()) {
        for (size_t i = 0; i < row.size(); ++i)
            out += (i ? "\t" : "") + row[i].Text;
        out += RedMark(row) + "\n";
    }
    out += "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
}

std::string Title(const std::string& caption, size_t rows)
{
    return "== " + caption + " (" + std::to_string(rows) + ")";
}

// Keeps every table in memory so that they print in page order.
class Tables : public ArchiveTableSinks {
public:
    TableSink* Archive(uint32_t part, int32_t kind) override { return &archives_[part][kind]; }
    TableSink* NotStaffJournal() override { return &notStaff_; }
    TableSink* OperatorJournal() override { return &operator_; }

    const VectorTableSink& ArchiveTable(uint32_t part, int32_t kind) const { return archives_[part][kind]; }
    const VectorTableSink& NotStaff() const { return notStaff_; }
    const VectorTableSink& Operator() const { return operator_; }

private:
    VectorTableSink archives_[ArchivePart::Count][ArchiveKind::Count];
    VectorTableSink notStaff_;
    VectorTableSink operator_;
};

void PrintTables(DaxHelper& helper)
{
    Tables tables;
    {
        DaxHelperLocker locker(&helper);
        FillArchiveTables(helper, DisplayOptions{}, '.', tables);
    }
    for (const Page& page : kPages) {
        for (int32_t kind = 0; kind < ArchiveKind::Count; ++kind) {
            const VectorTableSink& table = tables.ArchiveTable(page.part, kind);
            Print(Title(std::string(page.caption) + " / " + kKindCaptions[kind], table.Rows().size()), table);
        }
    }
    Print(Title("Журнал НС", tables.NotStaff().Rows().size()), tables.NotStaff());
    Print(Title("Журнал оператора", tables.Operator().Rows().size()), tables.Operator());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || argv[1][0] == '-') {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        DaxHelper helper;
        helper.SetLogCallback(
            [](const std::string& text, TInteractContainer*) { std::fprintf(stderr, "%s\n", text.c_str()); });
        helper.LoadDataFile(argv[1]);
        PrintTables(helper);
        return 0;
    } catch (const platform::Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
