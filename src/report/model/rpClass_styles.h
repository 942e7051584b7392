#pragma once

// Two small collections a report keeps beside its objects: the data sets it uses (held weakly:
// an entry whose data set goes is dropped) and its named styles (fill colour, font and frame
// that memos refer to by name). Style sets have files of their own, and style sheets keep
// several sets together.
//
// A style set file is a report XML document with the root "style" (attribute Name) and one
// "item" child per style; a style sheet has the root "stylesheet" with one "style" child per
// set.

#include "rpClass_views.h"
#include "rpUtils.h"

#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QIODevice;
class TrpDataSet;
class TrpXMLItem;

class TrpReportDataSets;

class TrpDataSetItem : public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    explicit TrpDataSetItem(TrpReportDataSets* list = nullptr) : list_(list) {}
    TrpDataSetItem(const TrpDataSetItem&) = delete;
    TrpDataSetItem& operator=(const TrpDataSetItem&) = delete;

    TrpDataSet* DataSet() const;
    // Also takes the data set's user name.
    void SetDataSet(TrpDataSet* dataSet);
    // The data set's user name while one is set, else the stored name.
    QString DataSetName() const;
    // An empty name clears the data set; any other binds the report's data set of that name
    // (keeping the current one when the report finds none).
    void SetDataSetName(const QString& name);

    static void RegisterClass(PropertyRegistry& registry);

    // Whether the entry's data set was set and has gone since.
    bool DataSetGone() const { return bound_ && dataSet_.isNull(); }

private:
    void Bind(TrpDataSet* dataSet);

    TrpReportDataSets* list_;
    QPointer<TrpComponent> dataSet_;
    QString dataSetName_;
    bool bound_ = false;
};

class TrpReportDataSets : public TrpCollection {
public:
    explicit TrpReportDataSets(TrpComponent* report) : report_(report) {}
    ~TrpReportDataSets() override;
    TrpReportDataSets(const TrpReportDataSets&) = delete;
    TrpReportDataSets& operator=(const TrpReportDataSets&) = delete;

    TrpComponent* Report() const { return report_.data(); }
    // Called after entries left because their data sets went (the report refreshes an open
    // designer's data tree).
    std::function<void()> OnDropped;

    int Count() const override { return static_cast<int>(items_.size()); }
    ScriptObject* CollectionItem(int index) override { return items_.at(static_cast<size_t>(index)).get(); }
    void ClearItems() override { items_.clear(); }
    ScriptObject* AddItem() override;

    TrpDataSetItem* Items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
    // A new entry for the data set.
    TrpDataSetItem* Add(TrpDataSet* dataSet);
    void Clear() { items_.clear(); }
    // Entries whose data set was bound and has gone leave the list.
    void DropGone();
    // Drops the entries of a data set when it goes.
    void Watch(TrpDataSet* dataSet);
    // Each entry with a data set: the data set's report becomes the list's report and it is
    // initialised; Finalize finalises them.
    void Initialize();
    void Finalize();
    TrpDataSetItem* Find(const TrpDataSet* dataSet) const;
    // The first entry whose data set's user name equals `name` (ASCII letter case ignored).
    TrpDataSetItem* Find(const QString& name) const;
    void Delete(const QString& name);
    void Delete(int index);
    // Binds every named entry again to the data set its report finds for the name.
    void Rebind();
    void Assign(const TrpReportDataSets& source);

private:
    QPointer<TrpComponent> report_;
    std::vector<std::unique_ptr<TrpDataSetItem>> items_;
    // Data sets whose going is watched (the pointers only identify them).
    std::vector<std::pair<const TrpDataSet*, QMetaObject::Connection>> watched_;
};

class TrpStyles;

// A named style: fill colour, font and frame (all always stored).
class TrpStyleItem : public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    // "Arial" 10 pt, no colour, a default frame.
    explicit TrpStyleItem(TrpStyles* styles = nullptr);
    TrpStyleItem(const TrpStyleItem&) = delete;
    TrpStyleItem& operator=(const TrpStyleItem&) = delete;

    const QString& Name() const { return name_; }
    // A name another style of the set has (letter case ignored) raises "clDupName".
    void SetName(const QString& name);
    // "Style" + the smallest N from 1 that no style of the set has.
    void CreateUniqueName();
    int32_t Color = clNone;
    TrpFont& Font() { return font_; }
    const TrpFont& Font() const { return font_; }
    void SetFont(const TrpFont& font) { font_.Assign(font); }
    TrpFrame& Frame() { return frame_; }
    const TrpFrame& Frame() const { return frame_; }
    void SetFrame(const TrpFrame& frame) { frame_.Assign(frame); }

    void Assign(const TrpStyleItem& source);

    static void RegisterClass(PropertyRegistry& registry);

private:
    TrpStyles* styles_;
    QString name_;
    TrpFont font_;
    TrpFrame frame_;
};

class TrpStyles : public TrpCollection, public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    // `report` is the report whose memos the set applies to; none for a set of a style sheet.
    explicit TrpStyles(TrpComponent* report = nullptr) : report_(report) {}

    int Count() const override { return static_cast<int>(items_.size()); }
    ScriptObject* CollectionItem(int index) override { return items_.at(static_cast<size_t>(index)).get(); }
    void ClearItems() override { items_.clear(); }
    ScriptObject* AddItem() override { return Add(); }

    QString Name;
    TrpStyleItem* Add();
    TrpStyleItem* Items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
    void Clear() { items_.clear(); }
    void Delete(int index);
    // The first style of that name (letter case ignored), or none.
    TrpStyleItem* Find(const QString& name) const;
    void GetList(QStringList& list) const;
    void Assign(const TrpStyles& source);
    // Styles the report's memos again: each memo whose style is in the set takes it; a memo
    // whose style is not loses its style name.
    void Apply();

    void LoadFromFile(const QString& fileName);
    void LoadFromStream(QIODevice& stream);
    void LoadFromXMLItem(TrpXMLItem& item, bool oldXMLFormat);
    void SaveToFile(const QString& fileName) const;
    void SaveToStream(QIODevice& stream) const;
    void SaveToXMLItem(TrpXMLItem& item) const;

private:
    QPointer<TrpComponent> report_;
    std::vector<std::unique_ptr<TrpStyleItem>> items_;
};

class TrpStyleSheet {
public:
    void Clear() { sets_.clear(); }
    void Delete(int index);
    // A new empty set without report.
    TrpStyles* Add();
    int Count() const { return static_cast<int>(sets_.size()); }
    TrpStyles* Items(int index) const { return sets_.at(static_cast<size_t>(index)).get(); }
    TrpStyles* Find(const QString& name) const;
    int IndexOf(const QString& name) const;
    void GetList(QStringList& list) const;

    void LoadFromFile(const QString& fileName);
    void LoadFromStream(QIODevice& stream);
    void SaveToFile(const QString& fileName) const;
    void SaveToStream(QIODevice& stream) const;

private:
    std::vector<std::unique_ptr<TrpStyles>> sets_;
};
