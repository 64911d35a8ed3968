#include "Component.h"

#include "SafeCall.h"

#include <algorithm>

namespace {

void eraseOne(std::vector<TComponent*>& list, TComponent* c)
{
    auto it = std::find(list.begin(), list.end(), c);
    if (it != list.end())
        list.erase(it);
}

}  // namespace

TComponent::TComponent(TComponent* owner)
{
    if (owner)
        owner->insertComponent(this);
}

TComponent::~TComponent()
{
    FComponentState.Include(csDestroying);
    // Everyone linked to this component clears its link now.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        eraseOne(other->FFreeNotifies, this);
        SafeCall([&] { other->Notification(this, opRemove); });
    }
    // Owned components go first; each one's destructor takes itself off the list.
    while (!FComponents.empty())
        delete FComponents.back();
    if (FOwner)
        FOwner->removeComponent(this);
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    for (TComponent* c : FComponents)
        if (c->FName == name)
            return c;
    return nullptr;
}

void TComponent::FreeNotification(TComponent* component)
{
    if (!component || component == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(component);
        component->FFreeNotifies.push_back(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* component)
{
    if (!component)
        return;
    eraseOne(FFreeNotifies, component);
    eraseOne(component->FFreeNotifies, this);
}

void TComponent::BeginLoading()
{
    FComponentState.Include(csLoading);
    for (TComponent* c : FComponents)
        c->BeginLoading();
}

void TComponent::EndLoading()
{
    for (TComponent* c : std::vector<TComponent*>(FComponents))
        c->EndLoading();
    if (FComponentState.Contains(csLoading))
        Loaded();
}

void TComponent::Loaded()
{
    FComponentState.Exclude(csLoading);
}

void TComponent::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove)
        eraseOne(FComponents, component);
}

void TComponent::SetDesigning(bool designing)
{
    if (designing)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
}

void TComponent::insertComponent(TComponent* component)
{
    // A component made while its owner applies a stored layout loads with it.
    if (FComponentState.Contains(csLoading))
        component->FComponentState.Include(csLoading);
    component->FOwner = this;
    FComponents.push_back(component);
}

void TComponent::removeComponent(TComponent* component)
{
    eraseOne(FComponents, component);
    component->FOwner = nullptr;
}
