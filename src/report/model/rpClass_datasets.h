#pragma once

// Non-visual objects of a report (dialog components) and the data sets the engine iterates.
//
// A data set belongs to whoever created it (the device report data, a test, a tool), never to
// a report: reports refer to data sets weakly and find them by user name, first in their own
// data-set lists, then in the process-wide list that every data set joins while it lives.

#include "rpClass.h"

#include "report/core/Variant.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QIODevice;
class TrpWideStrings;

// Size of a dialog component's symbol in the designer.
inline constexpr double kDialogComponentSize = 28;

// A non-visual object on a report's data page (a data set, a database connection) or a
// wrapper of a non-visual component. It publishes only Name, Tag and Description; inside a
// report it also stores its rounded position as the defined properties "pLeft" and "pTop".
class TrpDialogComponent : public TrpReportComponent {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpDialogComponent();
    explicit TrpDialogComponent(TrpComponent* owner);
    ~TrpDialogComponent() override;

    // The wrapped component, owned.
    QObject* Component() const { return component_.get(); }
    void SetComponent(std::unique_ptr<QObject> component) { component_ = std::move(component); }
    int32_t ImageIndex = 0;

    // The designer's symbol: a raised square of 28 pixels, the object image of its kind,
    // its name below; scales and offsets are not used, and nothing is printed.
    void Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
              const TrpDrawContext& context) override;

    static void RegisterClass(PropertyRegistry& registry);

private:
    std::unique_ptr<QObject> component_;
};

enum TrpRangeBegin : int { rbFirst, rbCurrent };
enum TrpRangeEnd : int { reLast, reCurrent, reCount };
enum TrpFieldType : int { fftNumeric, fftString, fftBoolean };

class TrpDataSet;
using TrpDataSetNotifyEvent = std::function<void(TrpDataSet& sender)>;
using TrpCheckEOFEvent = std::function<void(TrpDataSet& sender, bool& eof)>;
using TrpGetValueEvent = std::function<void(const QString& varName, Variant& value)>;
using TrpNewGetValueEvent = std::function<void(TrpDataSet& sender, const QString& varName, Variant& value)>;

// The record source of data bands, memos and pictures. The base counts records only for a
// counted range (reCount); an application data set supplies its records through its events
// or by overriding the navigation.
class TrpDataSet : public TrpDialogComponent {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpDataSet();
    explicit TrpDataSet(TrpComponent* owner);
    // Leaves the process-wide list first, under its lock, then goes.
    ~TrpDataSet() override;

    bool CloseDataSource = false; // close the source after the report (database data sets)
    bool Enabled = true;          // the data set may be used by reports
    bool OpenDataSource = true;   // open the source before the report
    TrpRangeBegin RangeBegin = rbFirst;
    TrpRangeEnd RangeEnd = reLast;
    int32_t RangeEndCount = 0;    // records of a counted range
    bool Initialized = false;     // between the engine's Initialize and Finalize

    TrpDataSetNotifyEvent OnFirst;
    TrpDataSetNotifyEvent OnNext;
    TrpDataSetNotifyEvent OnPrior;
    TrpDataSetNotifyEvent OnOpen;
    TrpDataSetNotifyEvent OnClose;
    TrpCheckEOFEvent OnCheckEOF;

    // The report that uses the data set during a run.
    TrpComponent* ReportRef() const { return reportRef_.data(); }
    void SetReportRef(TrpComponent* report) { reportRef_ = report; }

    // The name reports and expressions use. A blank name is refused ("prInvProp").
    const QString& UserName() const { return userName_; }
    virtual void SetUserName(const QString& value);
    // A new name also becomes the user name while that is empty.
    void SetName(const QString& value) override;

    // 0-based number of the current record.
    int32_t RecNo() const { return recNo_; }

    virtual QString GetDisplayText(const QString& fieldName);
    virtual int32_t GetDisplayWidth(const QString& fieldName);
    virtual TrpFieldType GetFieldType(const QString& fieldName);
    virtual Variant GetValue(const QString& fieldName);
    virtual void Initialize();
    virtual void Finalize();
    virtual void Open();
    virtual void Close();
    virtual void First();
    virtual void Next();
    virtual void Prior();
    virtual bool Eof();
    virtual int32_t FieldsCount();
    virtual bool IsBlobField(const QString& fieldName);
    virtual int32_t RecordCount();
    // Copies a blob field into a stream (pictures) or into text lines (memos).
    virtual void AssignBlobTo(const QString& fieldName, QIODevice& stream);
    virtual void AssignBlobTo(const QString& fieldName, TrpWideStrings& lines);
    virtual void GetFieldList(QStringList& list);
    // Whether GetFieldList has the name (ignoring case).
    bool HasField(const QString& fieldName);
    // Whether stepping back (Prior) gives the values of the previous record again: only where
    // the values follow RecNo. The engine refuses what would need it otherwise (group footers
    // that read the last record of their group).
    virtual bool CanStepBack() const { return false; }

    static void RegisterClass(PropertyRegistry& registry);

protected:
    int32_t recNo_ = 0;
    bool eof_ = false; // end reached by a counted range

private:
    QPointer<TrpComponent> reportRef_;
    QString userName_;
};

// A data set whose fields and values come from the application's events.
class TrpUserDataSet : public TrpDataSet {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpUserDataSet();
    explicit TrpUserDataSet(TrpComponent* owner);

    const QStringList& Fields() const { return fields_; }
    void SetFields(const QStringList& fields) { fields_ = fields; }
    TrpGetValueEvent OnGetValue;
    TrpNewGetValueEvent OnNewGetValue;
    // Set by a creator whose values are read by RecNo (such as a band's row counter).
    bool ValuesFollowRecNo = false;

    // Null, then OnGetValue, then OnNewGetValue: the later one has the last word.
    Variant GetValue(const QString& fieldName) override;
    QString GetDisplayText(const QString& fieldName) override;
    int32_t FieldsCount() override { return static_cast<int32_t>(fields_.size()); }
    void GetFieldList(QStringList& list) override { list = fields_; }
    // True where the values follow RecNo, or the application steps back itself (OnPrior).
    bool CanStepBack() const override { return ValuesFollowRecNo || static_cast<bool>(OnPrior); }

    static void RegisterClass(PropertyRegistry& registry);

private:
    QStringList fields_;
};

// A data set over a database table, with field aliases ("field=alias" lines).
class TrpCustomDBDataSet : public TrpDataSet {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpCustomDBDataSet();
    explicit TrpCustomDBDataSet(TrpComponent* owner);

    const QStringList& FieldAliases() const { return aliases_; }
    void SetFieldAliases(const QStringList& aliases) { aliases_ = aliases; }
    // The alias of the first line whose field part equals fieldName ignoring case; the name
    // itself without one.
    QString GetAlias(const QString& fieldName) const;
    // The field part of the first line whose alias equals alias ignoring case; the alias itself
    // without one.
    QString ConvertAlias(const QString& alias) const;
    int32_t FieldsCount() override;

    static void RegisterClass(PropertyRegistry& registry);

protected:
    QStringList fields_; // sorted, without duplicates, for subclasses

private:
    QStringList aliases_;
};

// The interface of a database connection. No connection classes are part of this system.
class TrpCustomDatabase : public TrpDialogComponent {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpCustomDatabase();
    explicit TrpCustomDatabase(TrpComponent* owner);

    virtual void SetConnected(bool) {}
    virtual void SetDatabaseName(const QString&) {}
    virtual void SetLoginPrompt(bool) {}
    virtual void SetParams(const QStringList&) {}
    virtual bool GetConnected() const { return false; }
    virtual QString GetDatabaseName() const { return QString(); }
    virtual bool GetLoginPrompt() const { return false; }
    virtual QStringList GetParams() const { return QStringList(); }
    virtual QString ToString() const { return QString(); }
    virtual void FromString(const QString&) {}
    virtual void SetLogin(const QString&, const QString&) {}

    static void RegisterClass(PropertyRegistry& registry);
};

// Every data set of the process, in creation order, behind its own lock.
class TrpGlobalDataSetList {
public:
    static TrpGlobalDataSetList& Instance();

    // Held by every reader and writer of the list.
    std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }

    void Add(TrpDataSet* dataSet);
    void Remove(TrpDataSet* dataSet);
    // A copy of the list.
    std::vector<TrpDataSet*> DataSets();
    // The first data set (creation order) whose user name equals `name` ignoring case,
    // skipping data sets that belong to a report other than `report`; `fallback` when there
    // is none, when no report is given, and none for an empty name.
    TrpDataSet* Find(const QString& name, const TrpComponent* report, TrpDataSet* fallback);
    // The usable data sets (user name not empty, Enabled): names and data sets, both lists
    // emptied first.
    void GetUsable(QStringList& names, std::vector<TrpDataSet*>& dataSets);

private:
    std::mutex mutex_;
    std::vector<TrpDataSet*> dataSets_;
};
