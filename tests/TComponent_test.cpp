#include "Application.h"
#include "Component.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <string>
#include <vector>

namespace {

std::vector<std::string>* journal = nullptr;

class Recorder : public TComponent {
public:
    Recorder(TComponent* owner, const std::string& name) : TComponent(owner) { SetName(name); }
    ~Recorder() override
    {
        if (journal)
            journal->push_back("destroy " + Name());
    }
    TComponent* link = nullptr;
    void LinkTo(TComponent* other)
    {
        link = other;
        FreeNotification(other);
    }

protected:
    void Loaded() override
    {
        TComponent::Loaded();
        if (journal)
            journal->push_back("loaded " + Name());
    }
    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation == opRemove && component == link) {
            link = nullptr;
            if (journal)
                journal->push_back(Name() + " unlinked");
        }
    }
};

class JournalTest : public ::testing::Test {
protected:
    void SetUp() override { journal = &entries; }
    void TearDown() override { journal = nullptr; }
    std::vector<std::string> entries;
};

}  // namespace

using TComponentTest = JournalTest;

TEST_F(TComponentTest, OwnerDestroysWhatItOwnsAndKeepsTheListCurrent)
{
    auto* form = new Recorder(nullptr, "form");
    auto* a = new Recorder(form, "a");
    new Recorder(form, "b");
    EXPECT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(form->FindComponent("a"), a);
    EXPECT_EQ(a->Owner(), form);

    delete a;  // destroyed on its own: the owner forgets it
    EXPECT_EQ(form->ComponentCount(), 1);
    EXPECT_EQ(form->FindComponent("a"), nullptr);

    entries.clear();
    delete form;
    EXPECT_EQ(entries, (std::vector<std::string>{"destroy form", "destroy b"}));
}

TEST_F(TComponentTest, LinkedComponentsAreToldOfTheRemovalEitherWay)
{
    Recorder viewer(nullptr, "viewer");
    auto* list = new Recorder(nullptr, "list");
    viewer.LinkTo(list);
    delete list;
    EXPECT_EQ(viewer.link, nullptr);
    EXPECT_EQ(entries, (std::vector<std::string>{"destroy list", "viewer unlinked"}));

    // The holder of a link goes first: the linked one must not call back into it.
    auto* holder = new Recorder(nullptr, "holder");
    Recorder target(nullptr, "target");
    holder->LinkTo(&target);
    delete holder;
    entries.clear();
    // `target` goes out of scope here; had it kept its link to the freed holder,
    // its destructor would call into freed memory (the sanitizer reports that).
}

TEST_F(TComponentTest, LoadingSetsStateAndCallsLoadedInCreationOrder)
{
    Recorder form(nullptr, "form");
    auto* first = new Recorder(&form, "first");
    auto* second = new Recorder(&form, "second");
    form.BeginLoading();
    EXPECT_TRUE(form.ComponentState().Contains(csLoading));
    EXPECT_TRUE(second->ComponentState().Contains(csLoading));
    form.EndLoading();
    EXPECT_EQ(entries, (std::vector<std::string>{"loaded first", "loaded second", "loaded form"}));
    EXPECT_FALSE(first->ComponentState().Contains(csLoading));
    EXPECT_FALSE(form.ComponentState().Contains(csLoading));
}

TEST_F(TComponentTest, ComponentsMadeWhileTheOwnerLoadsAreLoadedWithIt)
{
    Recorder form(nullptr, "form");
    form.BeginLoading();
    auto* made = new Recorder(&form, "made during loading");
    EXPECT_TRUE(made->ComponentState().Contains(csLoading));
    form.EndLoading();
    EXPECT_EQ(entries, (std::vector<std::string>{"loaded made during loading", "loaded form"}));
    auto* later = new Recorder(&form, "later");
    EXPECT_FALSE(later->ComponentState().Contains(csLoading));
}

TEST_F(TComponentTest, AFailingRemovalNoticeIsShownNotFatal)
{
    TApplication app;
    std::string shown;
    class Throwing : public TComponent {
    protected:
        void Notification(TComponent*, TOperation operation) override
        {
            if (operation == opRemove)
                throw Exception("notice failed");
        }
    };
    Throwing watcher;
    auto* linked = new Recorder(nullptr, "linked");
    watcher.FreeNotification(linked);
    int boxes = 0;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++boxes;
            shown = box->text().toStdString();
            box->accept();
        }
    });
    delete linked;
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(shown, "notice failed");
}
