// The component base: owner, name, state, loading and removal notification.
//
// An owner destroys the components it owns when it is destroyed (before its
// own widget children go, if it is a control). A component that holds a link
// to another asks for a free notification; when the linked one is destroyed,
// every component that asked gets Notification(linked, opRemove) and clears
// its link there. The notice comes from the component base's destructor, when
// the linked object's own parts are already gone: a receiver compares the
// pointer and uses nothing else of it.
#pragma once

#include "Set.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum TComponentStateFlag : std::uint8_t { csLoading, csReading, csWriting, csDestroying, csDesigning };
using TComponentState = TSet<TComponentStateFlag>;

enum TOperation : std::uint8_t { opInsert, opRemove };

class TComponent;
// The sender of an event: any component (the application object included).
using TObject = TComponent;

class TComponent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& name) { FName = name; }
    TComponentState ComponentState() const { return FComponentState; }

    // Components owned by this one, in creation order.
    const std::vector<TComponent*>& Components() const { return FComponents; }
    int ComponentCount() const { return int(FComponents.size()); }
    TComponent* FindComponent(const std::string& name) const;

    // Asks for Notification(component, opRemove) when `component` is destroyed.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // A stored layout is being applied: this component and every component it
    // owns enter csLoading. EndLoading calls Loaded() on each of them in
    // creation order (owned ones first, then this one).
    void BeginLoading();
    void EndLoading();

protected:
    // Called once the stored properties have been assigned; clears csLoading.
    virtual void Loaded();
    virtual void Notification(TComponent* component, TOperation operation);
    void SetDesigning(bool designing);

private:
    void insertComponent(TComponent* component);
    void removeComponent(TComponent* component);

    TComponent* FOwner = nullptr;
    std::string FName;
    TComponentState FComponentState;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;  // both directions: either end's destruction unlinks
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
