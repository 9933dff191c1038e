#include "vcl/classes.h"

#include <algorithm>

namespace vcl {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) owner_->InsertComponent(this);
}

TComponent::~TComponent() {
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    for (TComponent* component : components_)
        if (component->Name() == name) return component;
    return nullptr;
}

void TComponent::DestroyComponents() {
    // Each deletion removes itself from the list (and may take others with it, as a window takes
    // its child windows), so take the last one afresh every time.
    while (!components_.empty())
        delete components_.back();
}

void TComponent::InsertComponent(TComponent* component) {
    components_.push_back(component);
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it != components_.end()) components_.erase(it);
    component->owner_ = nullptr;
}

} // namespace vcl
