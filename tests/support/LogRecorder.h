#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

class TInteractContainer;

namespace testsupport {

// Collects the texts that channels, DaxHelper or processes log, with their log targets.
// Safe to fill from worker threads while the test reads it.
class LogRecorder {
public:
    struct Line {
        std::string text;
        TInteractContainer* target;
    };

    // A log callback (of TChanelHelperBase or DaxHelper) that records here; the recorder must
    // outlive whoever calls it.
    std::function<void(const std::string&, TInteractContainer*)> Callback()
    {
        return [this](const std::string& text, TInteractContainer* target) { Add(text, target); };
    }

    void Add(const std::string& text, TInteractContainer* target = nullptr)
    {
        std::lock_guard lock(mutex_);
        lines_.push_back({text, target});
    }

    // The texts recorded since the last Take, which are then forgotten.
    std::vector<std::string> Take()
    {
        std::lock_guard lock(mutex_);
        std::vector<std::string> texts = TextsOf(lines_);
        lines_.clear();
        return texts;
    }

    std::vector<std::string> Texts() const
    {
        std::lock_guard lock(mutex_);
        return TextsOf(lines_);
    }

    std::vector<Line> Lines() const
    {
        std::lock_guard lock(mutex_);
        return lines_;
    }

    void Clear()
    {
        std::lock_guard lock(mutex_);
        lines_.clear();
    }

private:
    static std::vector<std::string> TextsOf(const std::vector<Line>& lines)
    {
        std::vector<std::string> texts;
        texts.reserve(lines.size());
        for (const Line& line : lines)
            texts.push_back(line.text);
        return texts;
    }

    mutable std::mutex mutex_;
    std::vector<Line> lines_;
};

} // namespace testsupport
