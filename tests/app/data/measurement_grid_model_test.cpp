#include <QFontInfo>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "data/cell_colour.h"
#include "data/measurement_grid_model.h"

namespace qc {
namespace {

const QLocale kPoint(QLocale::English, QLocale::UnitedStates);

struct Grid {
    MeasurementTable table;
    MeasurementGridModel model{table};
    explicit Grid(std::initializer_list<double> values, Limits limits = {})
    {
        table.ClearSlot(kMemorySlot);
        int i = 1;
        for (double v : values) {
            Reading& r = table.Row(kMemorySlot, i);
            r.Number = static_cast<qint16>(i++);
            r.Value = v;
            r.Unit = QStringLiteral("\u00B5m");
            r.TimeText = QStringLiteral("10:15:30");
            r.DateText = QStringLiteral("05.12.2024");
        }
        GridContext c;
        c.limits = limits;
        c.locale = kPoint;
        c.profile.ProfileClass = QStringLiteral("4");
        model.SetContext(c);
        model.FillMSFlexOne(QStringLiteral("06.12.2024"));
    }
    QVariant Background(int row, int column = 2) const
    {
        return model.data(model.index(row, column), Qt::BackgroundRole);
    }
};

QVariant Colour(const QColor& c) { return QVariant(c); }

TEST(GridColours, LimitsAndTheBand)
{
    struct Case {
        const char* name;
        Limits limits;
        double value;
        QVariant expected;
    };
    const QVariant red = Colour(cell_colour::kOutsideLimits);
    const QVariant green = Colour(cell_colour::kWithinLimits);
    const QVariant orange = Colour(cell_colour::kBand8020);
    const Case cases[] = {
        {"min only: above 0 is red", {10, {}, 0, {}, 0, {}, false}, 50, red},
        {"min only: 0 is below the minimum", {10, {}, 0, {}, 0, {}, false}, 0, red},
        {"min only: 5 is below", {10, {}, 0, {}, 0, {}, false}, 5, red},
        {"min 0 / max 50: 0 is green", {0, {}, 50, {}, 0, {}, false}, 0, green},
        {"min 0 / max 50: 50 is green", {0, {}, 50, {}, 0, {}, false}, 50, green},
        {"min 0 / max 50: 50.1 is red", {0, {}, 50, {}, 0, {}, false}, 50.1, red},
        {"no limits: left as it is", {0, {}, 0, {}, 0, {}, false}, 50, QVariant()},
        {"band 80", {80, {}, 200, {}, 100, {}, true}, 80, orange},
        {"band 99.9", {80, {}, 200, {}, 100, {}, true}, 99.9, orange},
        {"band 79.9", {80, {}, 200, {}, 100, {}, true}, 79.9, red},
        {"band 100", {80, {}, 200, {}, 100, {}, true}, 100, green},
        {"band without limits 79.9", {0, {}, 0, {}, 100, {}, true}, 79.9, QVariant()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Grid g({c.value}, c.limits);
        for (int column = 0; column < grid::kColumnCount; ++column)
            EXPECT_EQ(g.Background(0, column), c.expected);
    }
}

TEST(GridColours, AbsoluteValuesColourTheMagnitude)
{
    Grid g({-40}, {0, {}, 50, {}, 0, {}, false});
    EXPECT_EQ(g.Background(0), Colour(cell_colour::kOutsideLimits));
    GridContext c = g.model.Context();
    c.absoluteValues = true;
    g.model.SetContext(c);
    EXPECT_EQ(g.Background(0), Colour(cell_colour::kWithinLimits));
}

TEST(GridMarking, ClickMarksGreySecondClickWhite)
{
    Grid g({10, 20, 30}, {0, {}, 50, {}, 0, {}, false});
    g.model.ToggleMark(1);
    EXPECT_EQ(g.Background(1, 0), Colour(cell_colour::kMarked));
    EXPECT_EQ(g.Background(1, 3), Colour(cell_colour::kMarked));
    EXPECT_EQ(g.model.MarkedGridRows(), std::vector<int>{1});
    g.model.ToggleMark(1);
    EXPECT_EQ(g.Background(1), Colour(cell_colour::kUnmarked)); // white until the next redraw
    EXPECT_TRUE(g.model.MarkedGridRows().empty());
    g.model.ToggleMark(1);
    g.model.ToggleMark(2);
    EXPECT_EQ(g.model.MarkedGridRows(), (std::vector<int>{1, 2}));
    g.model.FillMSFlexOne(QString());
    EXPECT_TRUE(g.model.MarkedGridRows().empty());
    EXPECT_EQ(g.Background(1), Colour(cell_colour::kWithinLimits));
    g.model.ToggleMark(7); // outside: nothing
    EXPECT_TRUE(g.model.MarkedGridRows().empty());
}

TEST(GridCells, TextsAlignmentsAndHeaders)
{
    Grid g({12.3, 150});
    g.table.Row(kMemorySlot, 2).Material = QStringLiteral("FE");
    EXPECT_EQ(g.model.rowCount(), 2);
    EXPECT_EQ(g.model.columnCount(), 4);
    EXPECT_EQ(g.model.CellText(0, 0), QStringLiteral("10:15:30"));
    EXPECT_EQ(g.model.CellText(0, 1), QStringLiteral("      1"));
    EXPECT_EQ(g.model.CellText(0, 2), QStringLiteral("       12.3"));
    EXPECT_EQ(g.model.CellText(0, 3), QStringLiteral("\u00B5m    "));
    EXPECT_EQ(g.model.CellText(1, 2), QStringLiteral("        150"));
    EXPECT_EQ(g.model.CellText(1, 3), QStringLiteral("\u00B5m  FE"));
    const auto align = [&](int column) { return g.model.data(g.model.index(0, column), Qt::TextAlignmentRole).toInt(); };
    EXPECT_EQ(align(0), int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(align(2), int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(align(3), int(Qt::AlignLeft | Qt::AlignVCenter));
    const auto header = [&](int s) { return g.model.headerData(s, Qt::Horizontal).toString(); };
    EXPECT_EQ(header(0), QStringLiteral("06.12.2024")); // the transfer date on a redraw
    EXPECT_EQ(header(1), QStringLiteral("Nr."));
    EXPECT_EQ(header(2), QStringLiteral("Messwert"));
    EXPECT_EQ(header(3), QStringLiteral("Messeinheit"));
    const QFont font = g.model.data(g.model.index(0, 0), Qt::FontRole).value<QFont>();
    EXPECT_TRUE(QFontInfo(font).fixedPitch());

    // Date mode: date and time in the first column, in the small font.
    GridContext c = g.model.Context();
    c.profile.ProfileFlag6 = QStringLiteral("-");
    g.model.SetContext(c);
    EXPECT_EQ(g.model.CellText(0, 0), QStringLiteral("05.12.2024 10:15:30"));
    EXPECT_EQ(header(0), QStringLiteral("Datum Zeit"));
    EXPECT_EQ(g.model.data(g.model.index(0, 0), Qt::FontRole).value<QFont>().pointSize(), grid::kDateModeFontSize);
    EXPECT_NE(g.model.data(g.model.index(0, 1), Qt::FontRole).value<QFont>().pointSize(), grid::kDateModeFontSize);
}

TEST(GridRows, AddedRowsBatchIntoOneInsertion)
{
    Grid g({});
    for (int i = 1; i <= 100; ++i) {
        g.table.Row(kMemorySlot, i).Number = static_cast<qint16>(i);
        g.table.Row(kMemorySlot, i).Value = i;
    }
    QSignalSpy inserted(&g.model, &QAbstractItemModel::rowsInserted);
    g.model.BeginBatch();
    for (int i = 1; i <= 100; ++i)
        g.model.AddTableRow(i);
    EXPECT_EQ(g.model.rowCount(), 0);
    g.model.EndBatch();
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 99);
    EXPECT_EQ(g.model.rowCount(), 100);
    EXPECT_EQ(g.model.ShowLastRow(), 99);
    EXPECT_EQ(g.model.headerData(0, Qt::Horizontal).toString(), QStringLiteral(" ")); // DateText of row 1

    // A row shown already is renewed, not added twice.
    g.model.AddTableRow(100);
    EXPECT_EQ(g.model.rowCount(), 100);
    EXPECT_EQ(inserted.count(), 1);
    g.model.ClearGrid();
    EXPECT_EQ(g.model.rowCount(), 0);
    EXPECT_EQ(g.model.ShowLastRow(), std::nullopt);
}

TEST(GridRows, SortReordersTheViewOnly)
{
    Grid g({10, 20, 30, 40, 50});
    g.model.ToggleMark(0);
    g.model.Sort();
    std::vector<int> numbers;
    for (int i = 0; i < 5; ++i)
        numbers.push_back(g.model.CellText(i, 1).trimmed().toInt());
    EXPECT_EQ(numbers, (std::vector<int>{5, 4, 3, 2, 1}));
    EXPECT_EQ(g.model.MarkedGridRows(), std::vector<int>{4}); // the mark moves with its reading
    g.model.Sort();
    EXPECT_EQ(g.model.CellText(0, 1), QStringLiteral("      1"));
    EXPECT_EQ(g.table.Row(kMemorySlot, 1).Number, 1);
}

} // namespace
} // namespace qc
