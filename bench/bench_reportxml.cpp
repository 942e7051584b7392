// Loading and saving a report XML document of about 50 MB made of many small elements, as a
// large prepared report is: pages holding objects with a few attributes each. Attribute text
// stays one raw text per element at load (Prop picks it apart on demand), so loading costs
// about one tag scan and one allocation per element.
//   build/bench/bench_reportxml [MEGABYTES]
#include "report/model/rpXML.h"

#include <QBuffer>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

QByteArray MakeDocument(qint64 megabytes, qint64& elements)
{
    QByteArray bytes = R"(<?xml version="1.0" encoding="utf-8" standalone="no"?>)";
    bytes += "\r\n<preparedreport>\r\n  <previewpages>\r\n";
    elements = 2;
    const qint64 target = megabytes * 1024 * 1024;
    for (int page = 0; bytes.size() < target; ++page) {
        bytes += "    <page Width=\"794\" Height=\"1123\" ld=\"0\">\r\n";
        for (int object = 0; object < 200; ++object) {
            bytes += "      <m" + QByteArray::number(object % 40) + " l=\"" + QByteArray::number(object * 3.77953, 'f', 2) +
                     "\" t=\"" + QByteArray::number(page) + "\" x=\"Строка " + QByteArray::number(object) + " &#38; итог\"/>\r\n";
        }
        bytes += "    </page>\r\n";
        elements += 201;
    }
    bytes += "  </previewpages>\r\n</preparedreport>\r\n";
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    const qint64 megabytes = argc > 1 ? std::atoll(argv[1]) : 50;
    qint64 elements = 0;
    const QByteArray bytes = MakeDocument(megabytes, elements);
    std::printf("document: %.1f MB, %lld elements\n", bytes.size() / 1048576.0, static_cast<long long>(elements));

    for (const bool partial : {false, true}) {
        TrpXMLDocument document;
        auto start = std::chrono::steady_clock::now();
        auto stream = std::make_unique<QBuffer>();
        stream->setData(bytes);
        stream->open(QIODevice::ReadOnly);
        document.LoadFromStream(std::move(stream), partial);
        const double load = Seconds(start);

        QBuffer out;
        out.open(QIODevice::WriteOnly);
        document.SetAutoIndent(true);
        start = std::chrono::steady_clock::now();
        document.SaveToStream(out);
        const double save = Seconds(start);
        std::printf("%-18s load %6.3f s (%5.0f MB/s), save %6.3f s (%5.0f MB/s), same bytes: %s\n",
                    partial ? "partial loading:" : "whole:", load, bytes.size() / 1048576.0 / load, save,
                    out.size() / 1048576.0 / save, out.data() == bytes ? "yes" : "no");
    }
}
