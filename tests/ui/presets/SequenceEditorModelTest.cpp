// The sequence editor's working copy: what it lets through to a save, and the step operations with their
// guards; the target's identity.
#include "services/QStringPrinting.h"
#include "ui/presets/SequenceEditorModel.h"

#include <gtest/gtest.h>

namespace {

using Kind = SequenceStepKind;

SequenceStep step(Kind kind, qint64 minutes) {
    return SequenceStep{QUuid::createUuid(), kind, minutes};
}

TimerSequence sequenceOf(const QString& name, const QList<SequenceStep>& steps) {
    return TimerSequence{QUuid::createUuid(), name, steps};
}

QList<Kind> kinds(const QList<SequenceStep>& steps) {
    QList<Kind> result;
    for (const SequenceStep& s : steps) {
        result.append(s.kind);
    }
    return result;
}

QList<qint64> minutes(const QList<SequenceStep>& steps) {
    QList<qint64> result;
    for (const SequenceStep& s : steps) {
        result.append(s.minutes);
    }
    return result;
}

struct Saved {
    QString name;
    QList<SequenceStep> steps;
};

class SequenceEditorModelTest : public ::testing::Test {
public:
    QList<Saved> saves;
    int cancels = 0;

    std::unique_ptr<SequenceEditorModel> make(const SequenceEditorTarget& target) {
        return std::make_unique<SequenceEditorModel>(
            target,
            [this](const QString& name, const QList<SequenceStep>& steps) {
                saves.append({name, steps});
            },
            [this] { ++cancels; });
    }
};

} // namespace

TEST_F(SequenceEditorModelTest, TargetsOfOneSequenceDifferByKind) {
    const TimerSequence sequence = sequenceOf(QStringLiteral("Deep"), {step(Kind::focus, 50)});
    const QString uuid = sequence.id.toString(QUuid::WithoutBraces).toUpper();
    const auto add = SequenceEditorTarget::add(sequence);
    const auto edit = SequenceEditorTarget::edit(sequence);
    EXPECT_EQ(add.id(), QStringLiteral("add-") + uuid);
    EXPECT_EQ(edit.id(), QStringLiteral("edit-") + uuid);
    EXPECT_FALSE(add == edit);
    EXPECT_TRUE(edit == SequenceEditorTarget::edit(sequence));
    TimerSequence renamed = sequence;
    renamed.name = QStringLiteral("Other");
    EXPECT_FALSE(edit == SequenceEditorTarget::edit(renamed));
}

TEST_F(SequenceEditorModelTest, OnlyANamedSequenceOfOneToEightStepsInRangeCanBeSaved) {
    const struct {
        const char* name;
        QString typedName;
        QList<SequenceStep> steps;
        bool canSave;
        const char* savedName;
    } rows[] = {
        {"a name and two steps",
         QStringLiteral("Rhythm"),
         {step(Kind::focus, 25), step(Kind::breakTime, 5)},
         true,
         "Rhythm"},
        {"an empty name", QString(), {step(Kind::focus, 25)}, false, nullptr},
        {"spaces and tabs only", QStringLiteral(" \t "), {step(Kind::focus, 25)}, false, nullptr},
        {"spaces around are dropped", QStringLiteral("  Deep\t"), {step(Kind::focus, 25)}, true, "Deep"},
        {"a line break is kept", QStringLiteral("Two\nLines "), {step(Kind::focus, 25)}, true, "Two\nLines"},
        {"no steps", QStringLiteral("Empty"), {}, false, nullptr},
        {"a step of 0 minutes", QStringLiteral("Zero"), {step(Kind::focus, 0)}, false, nullptr},
        {"a step of 1000 minutes", QStringLiteral("Long"), {step(Kind::focus, 1000)}, false, nullptr},
        {"1 and 999 minutes",
         QStringLiteral("Ends"),
         {step(Kind::focus, 1), step(Kind::breakTime, 999)},
         true,
         "Ends"},
        {"nine steps", QStringLiteral("Nine"), QList<SequenceStep>(9, step(Kind::focus, 5)), false, nullptr},
    };
    for (const auto& row : rows) {
        saves.clear();
        auto model = make(SequenceEditorTarget::edit(sequenceOf(row.typedName, row.steps)));
        EXPECT_EQ(model->canSave(), row.canSave) << row.name;
        model->save();
        ASSERT_EQ(saves.size(), row.canSave ? 1 : 0) << row.name;
        if (row.canSave) {
            EXPECT_EQ(saves.first().name, QString::fromUtf8(row.savedName)) << row.name;
            EXPECT_EQ(saves.first().steps, row.steps) << row.name << ": steps and their ids as they are";
        }
    }
}

TEST_F(SequenceEditorModelTest, ANewSequenceStartsBlankAndNeedsAName) {
    auto model = make(SequenceEditorTarget::add(TimerSequence::blank()));
    EXPECT_TRUE(model->isNew());
    EXPECT_TRUE(model->name().isEmpty());
    EXPECT_EQ(kinds(model->steps()), (QList<Kind>{Kind::focus, Kind::breakTime}));
    EXPECT_EQ(minutes(model->steps()), (QList<qint64>{25, 5}));
    EXPECT_FALSE(model->canSave());
    model->setName(QStringLiteral("x"));
    EXPECT_TRUE(model->canSave());
}

TEST_F(SequenceEditorModelTest, AddingAStepAlternatesKindsAndStopsAtEight) {
    const struct {
        const char* name;
        QList<SequenceStep> before;
        Kind added;
        qint64 addedMinutes;
    } rows[] = {
        {"after a break comes focus", {step(Kind::breakTime, 5)}, Kind::focus, 25},
        {"after focus comes a break", {step(Kind::focus, 50)}, Kind::breakTime, 5},
        {"an empty list starts with focus", {}, Kind::focus, 25},
    };
    for (const auto& row : rows) {
        auto model = make(SequenceEditorTarget::edit(sequenceOf(QStringLiteral("s"), row.before)));
        model->addStep();
        ASSERT_EQ(model->steps().size(), row.before.size() + 1) << row.name;
        EXPECT_EQ(model->steps().last().kind, row.added) << row.name;
        EXPECT_EQ(model->steps().last().minutes, row.addedMinutes) << row.name;
        EXPECT_FALSE(model->steps().last().id.isNull()) << row.name;
    }

    auto model = make(SequenceEditorTarget::edit(
        sequenceOf(QStringLiteral("s"), QList<SequenceStep>(7, step(Kind::focus, 5)))));
    EXPECT_TRUE(model->canAddStep());
    model->addStep();
    EXPECT_EQ(model->steps().size(), 8);
    EXPECT_FALSE(model->canAddStep());
    model->addStep();
    EXPECT_EQ(model->steps().size(), 8) << "never a ninth";
    model->removeStep(0);
    EXPECT_TRUE(model->canAddStep());
}

TEST_F(SequenceEditorModelTest, StepOperationsKeepIdsAndDoNothingOutsideTheirGuards) {
    const QList<SequenceStep> three{step(Kind::focus, 25), step(Kind::breakTime, 5), step(Kind::focus, 50)};
    const struct {
        const char* name;
        std::function<void(SequenceEditorModel&)> act;
        QList<qsizetype> order; // positions of the original steps afterwards
        QList<qint64> minutesAfter;
        QList<Kind> kindsAfter;
    } rows[] = {
        {"move down swaps with the next",
         [](SequenceEditorModel& m) { m.moveStep(0, 1); },
         {1, 0, 2},
         {5, 25, 50},
         {Kind::breakTime, Kind::focus, Kind::focus}},
        {"move up swaps with the previous",
         [](SequenceEditorModel& m) { m.moveStep(2, -1); },
         {0, 2, 1},
         {25, 50, 5},
         {Kind::focus, Kind::focus, Kind::breakTime}},
        {"move up at the top does nothing",
         [](SequenceEditorModel& m) { m.moveStep(0, -1); },
         {0, 1, 2},
         {25, 5, 50},
         {Kind::focus, Kind::breakTime, Kind::focus}},
        {"move down at the bottom does nothing",
         [](SequenceEditorModel& m) { m.moveStep(2, 1); },
         {0, 1, 2},
         {25, 5, 50},
         {Kind::focus, Kind::breakTime, Kind::focus}},
        {"a stale position does nothing",
         [](SequenceEditorModel& m) { m.moveStep(7, -1); },
         {0, 1, 2},
         {25, 5, 50},
         {Kind::focus, Kind::breakTime, Kind::focus}},
        {"remove drops that step",
         [](SequenceEditorModel& m) { m.removeStep(1); },
         {0, 2},
         {25, 50},
         {Kind::focus, Kind::focus}},
        {"toggle flips the kind only",
         [](SequenceEditorModel& m) { m.toggleKind(0); },
         {0, 1, 2},
         {25, 5, 50},
         {Kind::breakTime, Kind::breakTime, Kind::focus}},
        {"minutes above 999 are held at 999",
         [](SequenceEditorModel& m) { m.setMinutes(1, 5000); },
         {0, 1, 2},
         {25, 999, 50},
         {Kind::focus, Kind::breakTime, Kind::focus}},
        {"minutes below 1 are held at 1",
         [](SequenceEditorModel& m) { m.setMinutes(1, -3); },
         {0, 1, 2},
         {25, 1, 50},
         {Kind::focus, Kind::breakTime, Kind::focus}},
        {"minutes of a stale position are ignored",
         [](SequenceEditorModel& m) { m.setMinutes(3, 9); },
         {0, 1, 2},
         {25, 5, 50},
         {Kind::focus, Kind::breakTime, Kind::focus}},
    };
    for (const auto& row : rows) {
        auto model = make(SequenceEditorTarget::edit(sequenceOf(QStringLiteral("s"), three)));
        row.act(*model);
        ASSERT_EQ(model->steps().size(), row.order.size()) << row.name;
        for (qsizetype i = 0; i < row.order.size(); ++i) {
            EXPECT_EQ(model->steps().at(i).id, three.at(row.order.at(i)).id) << row.name << " at " << i;
        }
        EXPECT_EQ(minutes(model->steps()), row.minutesAfter) << row.name;
        EXPECT_EQ(kinds(model->steps()), row.kindsAfter) << row.name;
    }
}

TEST_F(SequenceEditorModelTest, TheLastStepCannotBeRemovedAndAStaleStepReadsAsOneMinute) {
    auto model = make(SequenceEditorTarget::edit(sequenceOf(QStringLiteral("s"), {step(Kind::focus, 40)})));
    EXPECT_FALSE(model->canRemoveStep());
    model->removeStep(0);
    EXPECT_EQ(model->steps().size(), 1);
    EXPECT_EQ(model->minutes(0), 40);
    EXPECT_EQ(model->minutes(5), 1);
    model->cancel();
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(saves.isEmpty());
}

TEST_F(SequenceEditorModelTest, AnOutOfRangeStepIsShownAsItIsUntilBroughtIntoRange) {
    auto model = make(SequenceEditorTarget::edit(sequenceOf(QStringLiteral("Old"), {step(Kind::focus, 0)})));
    EXPECT_EQ(model->minutes(0), 0);
    EXPECT_FALSE(model->canSave());
    model->setMinutes(0, model->minutes(0) + 1);
    EXPECT_EQ(model->minutes(0), 1);
    EXPECT_TRUE(model->canSave());
}
