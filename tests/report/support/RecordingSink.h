#pragma once

// A text sink for drawing tests: it keeps every text run a drawing hands it, in order.

#include "report/model/rpDrawContext.h"

#include <QRectF>
#include <QString>

#include <utility>
#include <vector>

struct RecordingSink : ITrpTextSink {
    void TextRun(const QString& text, const QRectF& deviceRect) override { runs.emplace_back(text, deviceRect); }
    std::vector<std::pair<QString, QRectF>> runs;
};
