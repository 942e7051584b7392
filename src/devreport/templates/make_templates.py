#!/usr/bin/env python3
"""Writes the device report templates in the report model's XML form.

The committed .zi3 files are what the program loads; after a change here, run this script
and pass each file through `rptool report-roundtrip` so that it is stored in the writer's
own form:  python3 make_templates.py OUTDIR
"""
import sys
from xml.sax.saxutils import quoteattr

PX_PER_MM = 96 / 25.4


def prop_data(variables):
    """The report's variable list in the binary property stream: categories begin with a blank."""
    def short(text):
        raw = text.encode("utf-8")
        assert len(raw) < 256
        return bytes([len(raw)]) + raw

    out = short("Datasets") + b"\x01\x00" + short("Variables") + b"\x01"
    for name in variables:
        out += b"\x01\x06" + short(' Name="%s"' % name) + b"\x00"
    out += b"\x00"
    return out.hex().upper()


def memo(name, left, top, width, height, text, size, bold=False, halign="haLeft", extra=""):
    left, width = round(left, 2), round(width, 2)
    return ('<TrpMemoView Name="%s" Left="%g" Top="%g" Width="%g" Height="%g" Font.Charset="1" Font.Color="0" '
            'Font.Height="-%d" Font.Name="Arial" Font.Style="%d" HAlign="%s" ParentFont="False"%s Text=%s/>'
            % (name, left, top, width, height, size, 1 if bold else 0, halign, extra,
               quoteattr(text, {"\r": "&#13;", "\n": "&#10;", "\t": "&#9;"})))


def report(variables, pages, script="begin\r\n\r\nend.", extra=""):
    head = ('<?xml version="1.0" encoding="utf-8" standalone="no"?>\n'
            '<TrpReport Version="4.15" DotMatrixReport="False" EngineOptions.DoublePass="True" '
            'PreviewOptions.Zoom="1" PrintOptions.Printer="По умолчанию" '
            'PrintOptions.PrintOnSheet="0" IniFile="\\Software\\Zuvo Dideziz" ScriptLanguage="RireroRidoze" '
            'ScriptText.Text=%s%s PropData="%s">\n'
            % (quoteattr(script, {"\r": "&#13;", "\n": "&#10;"}), extra, prop_data(variables)))
    body = '  <TrpDataPage Name="Data" Left="0" Top="0" Width="1000" Height="1000"/>\n' + "".join(pages)
    return head + body + "</TrpReport>\n"


def page(name, bands, portrait=True, margin=10, extra="", memos=()):
    w, h = (210, 297) if portrait else (297, 210)
    return ('  <TrpReportPage Name="%s" Orientation="%s" PaperWidth="%d" PaperHeight="%d" PaperSize="9" '
            'LeftMargin="%g" RightMargin="%g" TopMargin="%g" BottomMargin="%g"%s>\n%s  </TrpReportPage>\n'
            % (name, "poPortrait" if portrait else "poLandscape", w, h, margin, margin, margin, margin, extra,
               "".join(bands) + "".join("    %s\n" % m for m in memos)))


def band(cls, name, top, width, height, memos=(), extra=""):
    inner = "".join("      %s\n" % m for m in memos)
    return ('    <%s Name="%s" Left="0" Top="%g" Width="%g" Height="%g"%s>\n%s    </%s>\n'
            % (cls, name, top, width, height, extra, inner, cls))


def info_report():
    width = round((210 - 20) * PX_PER_MM, 2)
    title = "[ReportName] тепловычислителя [Model], Зав. №[Serial] \r\nза интервал [BeginPeriod] - [EndPeriod]"
    footer = "[ReportName], [Model], Зав. №[Serial], [BeginPeriod] - [EndPeriod]"
    bands = [
        band("TrpReportTitle", "ReportTitle", 20, width, 44,
             [memo("TitleMemo", 0, 0, width, 44, title, 16, True, "haCenter")]),
        band("TrpHeader", "ReportHeader", 84, width, 20, extra=' ReprintOnNewPage="True" Stretched="True"'),
        band("TrpMasterData", "ReportData", 124, width, 20, extra=' Stretched="True" RowCount="0"'),
        band("TrpPageFooter", "PageFooter", 1000, width, 20,
             [memo("FooterMemo", 0, 0, width - 200, 20, footer, 12),
              memo("PageMemo", width - 200, 0, 200, 20, "Страница  [Page] из [TotalPages]", 12, halign="haRight")],
             extra=' PrintOnFirstPage="False"'),
    ]
    return report([" Info", "Model", "Serial", "BeginPeriod", "EndPeriod", "ReportName"],
                  [page("PageReport", bands)])



A4_PORTRAIT_WIDTH = round((210 - 20) * PX_PER_MM, 2)
A4_LANDSCAPE_WIDTH = round((297 - 2 * 10.00125) * PX_PER_MM, 2)
PAGE_OF = "Страница  [Page] из [TotalPages]"


def footer_band(name, width, left_text):
    return band("TrpPageFooter", name, 1000, width, 20,
                [memo(name + "Left", 0, 0, width - 200, 20, left_text, 12),
                 memo(name + "Page", width - 200, 0, 200, 20, PAGE_OF, 12, halign="haRight")],
                extra=' PrintOnFirstPage="False"')


def archive_report():
    w = A4_LANDSCAPE_WIDTH
    footer = "[Model], Зав. №[Serial]. Интервал [BeginPeriod] - [EndPeriod]"
    rule = ' Frame.Typ="8"'
    half = w / 2
    title = [
        memo("TitleMemo", 0, 0, w, 24,
             "[ReportName] тепловычислителя [Model], Зав. №[Serial] за интервал [BeginPeriod] - [EndPeriod]",
             16, True, "haCenter", ' StretchMode="smActualHeight"'),
        memo("ConsumerLabel", 0, 40, 100, 20, "Потребитель: ", 12),
        memo("ConsumerMemo", 100, 40, half - 120, 20, "[Consumer]", 12, extra=rule),
        memo("SupplierLabel", 0, 64, 100, 20, "Поставщик: ", 12),
        memo("SupplierMemo", 100, 64, half - 120, 20, "[Supplier]", 12, extra=rule),
        memo("DataNameMemo", half, 40, half, 20, "[DataName]", 12),
        memo("SchemeLabel", half, 64, 80, 20, "Схема: ", 12),
        memo("SchemeMemo", half + 80, 64, half - 80, 20, "[ThermoScheme]", 12),
        memo("FormulaLabel", half, 88, 80, 20, "Формула: ", 12),
        memo("FormulaMemo", half + 80, 88, half - 80, 20, "[Formula]", 12),
    ]
    title_page = page("ReportTitlePage", [
        band("TrpReportTitle", "ReportTitle", 20, w, 112, title),
        band("TrpPageFooter", "PageFooter1", 1000, w, 20,
             [memo("PageFooter1Page", w - 200, 0, 200, 20, PAGE_OF, 12, halign="haRight")]),
    ], portrait=False, margin=10.00125)

    def table_page(name, title_band, title_memo, title_text, bands, footer_name):
        body = [band("TrpReportTitle", title_band, 20, w, 30,
                     [memo(title_memo, 0, 0, w, 30, title_text, 15, True, "haCenter")])]
        top = 70
        for cls, bname, extra in bands:
            body.append(band(cls, bname, top, w, 20, extra=extra))
            top += 40
        body.append(footer_band(footer_name, w, footer))
        return page(name, body, portrait=False, margin=10.00125, extra=' PrintOnPreviousPage="True"')

    data = ' RowCount="0" KeepHeader="True"'
    pages = [
        title_page,
        table_page("TotalArchivePage", "TotalArchiveTitle", "TotalArchiveName", "Итоговые данные", [
            ("TrpHeader", "TotalArchiveHeader", ""),
            ("TrpMasterData", "TotalArchiveData", data),
            ("TrpFooter", "TotalArchiveFooter", "")], "PageFooter4"),
        table_page("DayArchivePage", "DayArchiveTitle", "DayArchiveName", "Суточные данные", [
            ("TrpHeader", "DayArchiveHeader", ' ReprintOnNewPage="True"'),
            ("TrpMasterData", "DayArchiveData", data),
            ("TrpFooter", "DayArchiveFooter", "")], "PageFooter2"),
        table_page("HourArchivePage", "ReportTitle1", "HourArchiveName", "Часовые данные", [
            ("TrpHeader", "HourArchiveHeader", ' ReprintOnNewPage="True"'),
            ("TrpGroupHeader", "HourArchiveGroupHeader", ""),
            ("TrpMasterData", "HourArchiveData", ' RowCount="0"'),
            ("TrpFooter", "HourArchiveFooter", "")], "PageFooter3"),
        table_page("NotStaffInfoPage", "NotStaffReportTitle", "NotStaffTitle", "Коды нештатных ситуаций", [
            ("TrpHeader", "NotStaffHeader", ""),
            ("TrpGroupHeader", "NotStaffGroupHeader", ""),
            ("TrpMasterData", "NotStaffData", ' Stretched="True" RowCount="0"')], "PageFooter5"),
    ]
    script = "procedure rpReportOnStartReport(Sender: TrpComponent);\r\nbegin\r\n\r\nend;\r\n\r\nbegin\r\n\r\nend."
    return report([" Info", "Serial", "Model", "BeginPeriod", "EndPeriod", "Consumer", "Supplier", "DataName",
                   "Formula", "ThermoScheme", "ReportName"], pages, script, ' OnStartReport="rpReportOnStartReport"')


def info_report():
    width = A4_PORTRAIT_WIDTH
    title = "[ReportName] тепловычислителя [Model], Зав. №[Serial] \r\nза интервал [BeginPeriod] - [EndPeriod]"
    bands = [
        band("TrpReportTitle", "ReportTitle", 20, width, 44,
             [memo("TitleMemo", 0, 0, width, 44, title, 16, True, "haCenter")]),
        band("TrpHeader", "ReportHeader", 84, width, 20, extra=' ReprintOnNewPage="True" Stretched="True"'),
        band("TrpMasterData", "ReportData", 124, width, 20, extra=' Stretched="True" RowCount="0"'),
        footer_band("PageFooter", width,
                    "[ReportName], [Model], Зав. №[Serial], [BeginPeriod] - [EndPeriod]"),
    ]
    return report([" Info", "Model", "Serial", "BeginPeriod", "EndPeriod", "ReportName"],
                  [page("PageReport", bands)])


# The settings reports' variables, category by category.
def setup_variables():
    def ts(prefix):
        names = ["Scheme", "W_Contract", "Kpr", "dt_Min", "dP_min", "TairChanel", "TctrlChanel", "StopModeTS",
                 "ExpenseMeasureFailReaction", "ExpenseCtrlFailReaction", "EmptyPipeReaction", "GLessGotsReaction",
                 "GLessGminReaction", "GMoreGmaxReaction", "TemperatureFailReaction",
                 "TemperatureLessMinMoreMaxReaction", "PressureFaliReaction", "Q_LessZeroReaction",
                 "dP_LessDPminReaction", "dt_LessZeroReaction", "dt_LessDtminReaction", "OffPowerReaction",
                 "Go_More_Gp_Less_GpK_Reaction", "Go_More_GpK_Reaction", "Gp_More_Go_Less_GoK_Reaction",
                 "Gp_More_GoK_Reaction"]
        return [prefix + n for n in names]

    def series(fmt, count):
        return [fmt % i for i in range(1, count + 1)]

    return ([" Info", "Model", "Serial", "BeginPeriod", "EndPeriod", "ReportName",
             " MainParams", "UnitOfMeasureHeat", "UnitOfMeasurePressure", "FormulaQ3", "MonthArchiveDayCreate",
             " ColdWater", "ColdWaterValueType", "ColdWaterTWinter", "ColdWaterTSummer", "ColdWaterPWinter",
             "ColdWaterPSummer",
             " MeasurePeriod", "CurrentPeriod", "EventChangeCondition", "SummerPeriodStart", "WinterPeriodStart",
             " TS1"] + ts("TS1_") + [" TS2"] + ts("TS2_") +
            [" CWS"] + series("CWS%d", 6) +
            ["CWSExpenseMeasureFailReaction", "CWSEmptyPipeReaction", "CWSGLessGotsReaction",
             "CWSGLessGminReaction", "CWSGMoreGmaxReaction",
             " V_Chanel"] + series("ImpulseWeight%d", 6) + series("G%d_contract", 6) + series("G%d_max", 6) +
            series("G%d_min", 6) + series("G%d_ots", 6) + series("ChanelMode%d", 6) + series("CtrlModeV%d", 6) +
            series("EmptyPipeSygnal%d", 6) + series("Du%d", 6) +
            [" t_Chanel"] + series("NSH_TSP%d", 5) + series("t%d_contract", 5) + series("t_max%d", 5) +
            series("t_min%d", 5) +
            [" P_Chanel"] + series("P%d_max", 6) + series("P%d_contract", 6))


class SetupPage:
    """Memos directly on the page, in rows 18 pixels apart; each row is a list of cells
    (x, width, text, kind) with kind "caption", "label", "value" or "unit"."""

    SIZES = {"caption": 15, "label": 12, "value": 12, "unit": 12}

    def __init__(self, prefix, top):
        self.prefix, self.top, self.memos, self.count = prefix, top, [], 0

    def row(self, *cells):
        for x, width, text, kind in cells:
            self.count += 1
            # One line each: a value longer than its memo must not run into the next row.
            self.memos.append(memo("%sMemo%d" % (self.prefix, self.count), x, self.top, width, 18, text,
                                   self.SIZES[kind], kind in ("value", "unit"), extra=' WordWrap="False"'))
        self.top += 18

    def gap(self):
        self.top += 18


# Column plan of the settings pages (printable width about 718 pixels).
HALF = 360


def block(x, label, value=None, unit=None, label_width=120, value_width=180):
    cells = [(x, label_width, label, "label")]
    if value:
        cells.append((x + label_width, value_width, value, "value"))
    if unit:
        cells.append((x + label_width + value_width, 50, unit, "unit"))
    return cells


def caption(x, text, width=HALF - 10):
    return [(x, width, text, "caption")]


def table_row(label, texts, kind, x=0, label_width=150, column_width=94):
    cells = [(x, label_width, label, "label")]
    for i, text in enumerate(texts):
        cells.append((x + label_width + i * column_width, column_width, text, kind))
    return cells


def common_params(p, with_q3):
    p.row(*caption(0, "Общие параметры"))
    p.row(*block(0, "Единицы измерения тепловой энергии", "[UnitOfMeasureHeat]", label_width=250))
    p.row(*block(0, "Единицы измерения давления", "[UnitOfMeasurePressure]", label_width=250))
    if with_q3:
        p.row(*block(0, "Формула Q3", "[FormulaQ3]", label_width=250))
    p.row(*block(0, "Дата отчета", "[MonthArchiveDayCreate]", label_width=250))
    p.gap()
    p.row(*caption(0, "Холодная вода"), *caption(HALF, "Летний-зимний период\t\t\t"))
    p.row(*block(0, "Значение tхв", "[ColdWaterValueType]"), *block(HALF, "Текущий период", "[CurrentPeriod]"))
    p.row(*block(0, "tхв_дог зимняя", "[ColdWaterTWinter]", "°C"),
          *block(HALF, "Смена периода", "[EventChangeCondition]"))
    p.row(*block(0, "tхв_дог летняя", "[ColdWaterTSummer]", "°C"),
          *block(HALF, "Начало летнего", "[SummerPeriodStart]"))
    p.row(*block(0, "Pхв_дог зимнее", "[ColdWaterPWinter]", "[UnitOfMeasurePressure]"),
          *block(HALF, "Начало зимнего", "[WinterPeriodStart]"))
    p.row(*block(0, "Pхв_дог летнее", "[ColdWaterPSummer]", "[UnitOfMeasurePressure]"))
    p.gap()


CHANNEL_REACTIONS = [("Отказ основн. ПР", "ExpenseMeasureFailReaction"), ("Отказ конт.ПР", "ExpenseCtrlFailReaction"),
                     ("Пустая труба", "EmptyPipeReaction"), ("Gv < G_отc", "GLessGotsReaction"),
                     ("G_отc < Gv < G_min", "GLessGminReaction"), ("Gv > G_max", "GMoreGmaxReaction"),
                     ("Отказ ПТ", "TemperatureFailReaction"),
                     ("t<t_min, t>t_max", "TemperatureLessMinMoreMaxReaction"), ("Отказ ПД", "PressureFaliReaction")]
SYSTEM_REACTIONS = [("Q1 < 0", "Q_LessZeroReaction"), ("dP < dP_min", "dP_LessDPminReaction"),
                    ("dt < 0", "dt_LessZeroReaction"), ("dt < dt_min", "dt_LessDtminReaction"),
                    ("Отсутствие питания", "OffPowerReaction"), ("G1*Kпр >= G2 > G1", "Go_More_Gp_Less_GpK_Reaction"),
                    ("G2 > G1*Kпр", "Go_More_GpK_Reaction"), ("G2*Kпр >= G1>G2\t", "Gp_More_Go_Less_GoK_Reaction"),
                    ("G1 > G2*Kпр", "Gp_More_GoK_Reaction")]
CWS_REACTIONS = [("Отказ ПР", "[CWSExpenseMeasureFailReaction]"), ("Пустая труба", "[CWSEmptyPipeReaction]"),
                 ("Gv < G_отc", "[CWSGLessGotsReaction]"), ("G_отc < Gv < G_min", "[CWSGLessGminReaction]"),
                 ("Gv > G_max", "[CWSGMoreGmaxReaction]")]
FLOW_ROWS = [("Вес имп. (мᶾ/имп)", "[ImpulseWeight%d]"), ("G_дог (мᶾ/ч)", "[G%d_contract]"),
             ("G_max (мᶾ/ч)", "[G%d_max]"), ("G_min (мᶾ/ч)", "[G%d_min]"), ("G_отс (мᶾ/ч)", "[G%d_ots]"),
             ("Режим входа", "[ChanelMode%d]"), ("Контроль ПР", "[CtrlModeV%d]"),
             ("Пустая труба", "[EmptyPipeSygnal%d]"), ("Ду прибора", "[Du%d]")]
TEMPERATURE_ROWS = [("t_дог (°C)", "[t%d_contract]"), ("t_max (°C)", "[t_max%d]"), ("t_min (°C)", "[t_min%d]")]


def cws_rows(p, count):
    p.row(*caption(0, "Конфигурация ХВС"), *caption(HALF, "Реакции на канальные НС в ХВС"))
    for i in range(max(count, len(CWS_REACTIONS))):
        cells = []
        if i < count:
            cells += block(0, "Канал ХВС %d" % (i + 1), "[CWS%d]" % (i + 1))
        if i < len(CWS_REACTIONS):
            cells += block(HALF, CWS_REACTIONS[i][0], CWS_REACTIONS[i][1])
        p.row(*cells)
    p.gap()


def flow_rows(p, count):
    p.row(*caption(0, "Каналы расхода", A4_PORTRAIT_WIDTH))
    p.row(*table_row("", ["Канал V%d" % i for i in range(1, count + 1)], "label")[1:])
    for label, fmt in FLOW_ROWS:
        p.row(*table_row(label, [fmt % i for i in range(1, count + 1)], "value"))
    p.gap()


def title_band(width):
    return band("TrpReportTitle", "ReportTitle", 20, width, 24,
                [memo("TitleMemo", 0, 0, width, 24, "[ReportName] тепловычислителя [Model], Зав. №[Serial]",
                      16, True, "haCenter")])


def setup_report_01():
    p = SetupPage("Page", 60)
    common_params(p, False)
    p.row(*caption(0, "Система теплоснабжения 1"))
    p.row(*block(0, "Схема", "[TS1_Scheme]"), *block(HALF, "dP_min", "[TS1_dP_Min]", "[UnitOfMeasurePressure]"))
    p.row(*block(0, "Wдог", "[TS1_W_Contract]", "[UnitOfMeasureHeat]/ч"),
          *block(HALF, "Канал tвозд", "[TS1_TairChanel]"))
    p.row(*block(0, "Кпр", "[TS1_Kpr]"), *block(HALF, "Канал tконтр", "[TS1_TctrlChanel]"))
    p.row(*block(0, "dt_min", "[TS1_dt_min]", "°C"), *block(HALF, "Режим останова", "[TS1_StopModeTS]"))
    p.gap()
    p.row(*caption(0, "Реакции на канальные НС в ТС1"), *caption(HALF, "Реакции на  НС ТС1"))
    for (l1, v1), (l2, v2) in zip(CHANNEL_REACTIONS, SYSTEM_REACTIONS):
        p.row(*block(0, l1, "[TS1_%s]" % v1), *block(HALF, l2, "[TS1_%s]" % v2))
    p.gap()
    cws_rows(p, 3)
    flow_rows(p, 3)
    p.row(*caption(0, "Каналы температуры"), *caption(HALF, "Каналы давления"))
    t = lambda i, fmt: [fmt % k for k in range(1, i + 1)]
    p.row(*table_row("", t(2, "Канал t%d"), "label", column_width=100)[1:],
          *table_row("", t(3, "Канал P%d"), "label", HALF, 110, 80)[1:])
    p.row(*table_row("НСХ ТСП", t(2, "[NSH_TSP%d]"), "value", column_width=100),
          *table_row("Pmax датчика", t(3, "[P%d_max]"), "value", HALF, 110, 80))
    p.row(*table_row("t_дог (°C)", t(2, "[t%d_contract]"), "value", column_width=100),
          (HALF, 60, "P_дог", "label"), (HALF + 60, 50, "[UnitOfMeasurePressure]", "label"),
          *table_row("", t(3, "[P%d_contract]"), "value", HALF, 110, 80)[1:])
    for label, fmt in TEMPERATURE_ROWS[1:]:
        p.row(*table_row(label, t(2, fmt), "value", column_width=100))
    return report(setup_variables(), [page("PageReport", [title_band(A4_PORTRAIT_WIDTH)], memos=p.memos)])


def setup_report_02():
    w = A4_PORTRAIT_WIDTH
    p = SetupPage("Page", 60)
    common_params(p, True)
    p.row(*caption(0, "Система теплоснабжения 1"), *caption(HALF, "Система теплоснабжения 2"))
    p.row(*block(0, "Схема", "[TS1_Scheme]"), *block(HALF, "Схема", "[TS2_Scheme]"))
    p.row(*block(0, "Wдог", "[TS1_W_Contract]", "[UnitOfMeasureHeat]/ч"),
          *block(HALF, "Wдог", "[TS2_W_Contract]", "[UnitOfMeasureHeat]/ч"))
    p.row(*block(0, "Кпр", "[TS1_Kpr]"), *block(HALF, "Кпр", "[TS2_Kpr]"))
    p.row(*block(0, "dt_min", "[TS1_dt_min]", "°C"), *block(HALF, "dt_min", "[TS2_dt_Min]", "°C"))
    p.row(*block(0, "dP_min", "[TS1_dP_Min]", "[UnitOfMeasurePressure]"),
          *block(HALF, "dP_min", "[TS2_dP_min]", "[UnitOfMeasurePressure]"))
    p.row(*block(0, "Канал tвозд", "[TS1_TairChanel]"), *block(HALF, "Канал tвозд", "[TS2_TairChanel]"))
    p.row(*block(0, "Канал tконтр", "[TS1_TctrlChanel]"), *block(HALF, "Канал tконтр", "[TS2_TctrlChanel]"))
    p.row(*block(0, "Режим останова", "[TS1_StopModeTS]"), *block(HALF, "Режим останова", "[TS2_StopModeTS]"))
    p.gap()
    for title, reactions in (("Реакции на канальные НС в ТС%d", CHANNEL_REACTIONS),
                             ("Реакции на  НС ТС%d", SYSTEM_REACTIONS)):
        p.row(*caption(0, title % 1), *caption(HALF, title % 2))
        for label, name in reactions:
            p.row(*block(0, label, "[TS1_%s]" % name), *block(HALF, label, "[TS2_%s]" % name))
        p.gap()
    cws_rows(p, 6)
    first = page("PageReport", [title_band(w)],
                 memos=p.memos + [memo("PageNumberMemo", w - 200, p.top, 200, 18, PAGE_OF, 12, halign="haRight")])

    q = SetupPage("Page2", 0)
    flow_rows(q, 6)
    q.row(*caption(0, "Каналы температуры", w))
    q.row(*table_row("", ["Канал t%d" % i for i in range(1, 6)], "label")[1:])
    q.row(*table_row("НСХ ТСП", ["[NSH_TSP%d]" % i for i in range(1, 6)], "value"))
    for label, fmt in TEMPERATURE_ROWS:
        q.row(*table_row(label, [fmt % i for i in range(1, 6)], "value"))
    q.gap()
    q.row(*caption(0, "Каналы давления", w))
    q.row(*table_row("", ["Канал P%d" % i for i in range(1, 7)], "label")[1:])
    q.row(*table_row("Pmax датчика", ["[P%d_max]" % i for i in range(1, 7)], "value"))
    q.row((0, 60, "P_дог", "label"), (60, 90, "[UnitOfMeasurePressure]", "label"),
          *table_row("", ["[P%d_contract]" % i for i in range(1, 7)], "value")[1:])
    q.gap()
    q.memos += [memo("Page2FooterMemo", 0, q.top, w - 200, 18, "[ReportName], [Model], Зав. №[Serial]", 12),
                memo("Page2NumberMemo", w - 200, q.top, 200, 18, PAGE_OF, 12, halign="haRight")]
    second = page("ReportPage2", [], memos=q.memos)
    return report(setup_variables(), [first, second])


TEMPLATES = {"rpReport": archive_report, "rpInfoReport": info_report,
             "rpSetupReport_01": setup_report_01, "rpSetupReport_02": setup_report_02}

if __name__ == "__main__":
    for name, make in TEMPLATES.items():
        with open("%s/%s.zi3" % (sys.argv[1], name), "w", encoding="utf-8", newline="") as f:
            f.write(make())
