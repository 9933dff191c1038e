// Components: the objects a form is built from, their owner, name and tag, and the notify event
// that every handler of the program has.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vcl {

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// A component belongs to its owner: the owner frees, on its own destruction, every component it
// still owns. A component that goes away first (a control deleted by its parent window) leaves its
// owner's list, so the owner never frees it twice.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    TComponent* Owner() const { return owner_; }

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(index); }
    // The owned component of that name, or nullptr.
    TComponent* FindComponent(const std::string& name) const;

protected:
    // Frees every owned component now, newest first. Subclasses whose owned components need the
    // subclass alive while they go (a form and its controls) call this in their own destructor.
    void DestroyComponents();

private:
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    TComponent* owner_ = nullptr;
    std::string name_;
    int tag_ = 0;
    std::vector<TComponent*> components_;
};

} // namespace vcl
