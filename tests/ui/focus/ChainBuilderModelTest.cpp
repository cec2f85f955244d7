// The chain builder's entries and its start over a real chain coordinator.
#include "FocusFixture.h"

#include "ui/focus/ChainBuilderModel.h"

class ChainBuilderModelTest : public FocusFixture {
public:
    std::unique_ptr<ChainBuilderModel> model;

    void SetUp() override {
        makeFocusRoot();
        model = std::make_unique<ChainBuilderModel>(root->chainCoordinator());
    }
    void TearDown() override {
        model.reset();
        FocusFixture::TearDown();
    }
    ChainCoordinator& coordinator() { return root->chainCoordinator(); }
    QUuid stepID(qsizetype i) const { return model->steps().at(i).id; }
};

TEST_F(ChainBuilderModelTest, EntriesAreEditedByIdWithinTheirLimits) {
    ASSERT_EQ(model->steps().size(), 2);
    EXPECT_NE(stepID(0), stepID(1));
    EXPECT_TRUE(model->canDeleteSteps());

    const struct {
        const char* name;
        int set;
        int expected;
    } rows[] = {
        {"a length inside the range is kept", 45, 45},
        {"the stepper stops at 180", 181, 180},
        {"and at 1", 0, 1},
        {"a typed negative length stops at 1", -20, 1},
    };
    for (const auto& row : rows) {
        model->setStepMinutes(stepID(1), row.set);
        EXPECT_EQ(model->steps().at(1).minutes, row.expected) << row.name;
        EXPECT_EQ(model->steps().at(0).minutes, ChainBuilderModel::defaultMinutes) << row.name;
    }

    model->addStep();
    ASSERT_EQ(model->steps().size(), 3);
    EXPECT_EQ(model->steps().at(2).minutes, ChainBuilderModel::defaultMinutes);
    EXPECT_TRUE(model->steps().at(2).name.isEmpty());

    // Deleting goes by id, so the middle entry goes and the others keep their values.
    const QUuid first = stepID(0);
    model->setStepName(first, QStringLiteral("Read"));
    model->removeStep(stepID(1));
    model->removeStep(stepID(1));
    ASSERT_EQ(model->steps().size(), 1);
    EXPECT_EQ(model->steps().at(0).name, QStringLiteral("Read"));
    EXPECT_FALSE(model->canDeleteSteps());
    model->removeStep(first);
    EXPECT_EQ(model->steps().size(), 1) << "the last entry stays";
}

TEST_F(ChainBuilderModelTest, BlankNamesStartWithTheCoordinatorsDefaultsAndClose) {
    QSignalSpy closed(model.get(), &ChainBuilderModel::closeRequested);
    model->setStepMinutes(stepID(1), 3);
    EXPECT_TRUE(model->startChain());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(coordinator().isRunning());
    EXPECT_EQ(coordinator().chainName(), ChainCoordinator::defaultChainName);
    EXPECT_EQ(coordinator().totalSteps(), 2);
    const auto step = timers->timer(*coordinator().activeStepTimerID());
    ASSERT_TRUE(step.has_value());
    EXPECT_EQ(step->title, ChainCoordinator::defaultStepName);
    EXPECT_EQ(step->totalDuration, 600);
    EXPECT_TRUE(step->isRunning());
}

TEST_F(ChainBuilderModelTest, NamesGoToTheCoordinatorAsTyped) {
    model->setChainName(QStringLiteral("  Morning  "));
    model->setStepName(stepID(0), QStringLiteral(" Mail "));
    ASSERT_TRUE(model->startChain());
    EXPECT_EQ(coordinator().chainName(), QStringLiteral("  Morning  "));
    EXPECT_EQ(timers->timer(*coordinator().activeStepTimerID())->title, QStringLiteral(" Mail "));
}

TEST_F(ChainBuilderModelTest, ARefusedStartKeepsTheEntriesAndSaysSo) {
    ASSERT_FALSE(coordinator().start(QStringLiteral("Other"), {{QStringLiteral("a"), 5}}).has_value());
    model->setChainName(QStringLiteral("Mine"));
    model->setStepName(stepID(0), QStringLiteral("Write"));
    const auto before = model->steps();
    QSignalSpy closed(model.get(), &ChainBuilderModel::closeRequested);

    EXPECT_FALSE(model->startChain());
    EXPECT_EQ(model->errorMessage(), QStringLiteral("Couldn't start"));
    EXPECT_EQ(closed.count(), 0);
    EXPECT_EQ(model->chainName(), QStringLiteral("Mine"));
    ASSERT_EQ(model->steps().size(), before.size());
    EXPECT_EQ(model->steps().at(0).name, QStringLiteral("Write"));
    EXPECT_EQ(coordinator().chainName(), QStringLiteral("Other"));

    // Editing leaves the message; the next press clears it before the coordinator answers.
    model->addStep();
    EXPECT_TRUE(model->errorMessage().has_value());
    coordinator().cancel();
    std::optional<std::optional<QString>> messageWhenAsked;
    QObject::connect(&coordinator(), &ChainCoordinator::isRunningChanged, model.get(),
                     [&] { messageWhenAsked = model->errorMessage(); });
    EXPECT_TRUE(model->startChain());
    ASSERT_TRUE(messageWhenAsked.has_value());
    EXPECT_EQ(*messageWhenAsked, std::nullopt);
    EXPECT_EQ(model->errorMessage(), std::nullopt);
}
