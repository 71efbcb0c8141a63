#include "memory_registry.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "registry_names.h"

namespace corvale {

namespace {

constexpr std::uint32_t kWriteRights =
    reg::kSetValue | reg::kCreateSubKey | reg::kCreateLink | reg::kDelete | reg::kWriteDac | reg::kWriteOwner;

// The Win32 calls take names as C strings: whatever follows a NUL is not part of the name.
std::u16string_view AsCName(const std::u16string& s) {
  const std::size_t end = s.find(u'\0');
  return end == std::u16string::npos ? std::u16string_view(s) : std::u16string_view(s).substr(0, end);
}

}  // namespace

struct MemoryRegistry::Node {
  struct Value {
    std::u16string name;
    std::u16string folded;
    std::uint32_t type = reg::kTypeNone;
    std::vector<std::uint8_t> data;
  };
  struct Child {
    std::u16string folded;
    std::shared_ptr<Node> node;
  };

  std::u16string name;
  std::weak_ptr<Node> parent;
  std::vector<Value> values;    // in the order they were first set
  std::vector<Child> children;  // sorted by folded name
  std::optional<std::uint32_t> allowed;
  bool deleted = false;

  Value* FindValue(std::u16string_view valueName) {
    const std::u16string folded = FoldRegistryName(valueName);
    for (Value& v : values) {
      if (v.folded == folded) return &v;
    }
    return nullptr;
  }

  std::vector<Child>::iterator LowerBound(const std::u16string& folded) {
    return std::lower_bound(children.begin(), children.end(), folded,
                            [](const Child& c, const std::u16string& f) { return c.folded < f; });
  }

  std::shared_ptr<Node> FindChild(std::u16string_view childName) {
    const std::u16string folded = FoldRegistryName(childName);
    auto it = LowerBound(folded);
    return (it != children.end() && it->folded == folded) ? it->node : nullptr;
  }
};

struct MemoryRegistry::State {
  std::shared_ptr<Node> root = std::make_shared<Node>();
  bool administrator = true;

  bool Permits(const Node& node, std::uint32_t access) const {
    if (!administrator && (access & kWriteRights) != 0) return false;
    if (node.allowed && (access & ~*node.allowed) != 0) return false;
    return true;
  }
};

namespace {

using Node = MemoryRegistry::Node;
using State = MemoryRegistry::State;

// Splits a path into its parts. Empty parts (a trailing or doubled backslash) are passed over, as
// the system does; a leading backslash makes the path invalid.
std::optional<std::vector<std::u16string>> SplitPath(std::u16string_view path) {
  std::vector<std::u16string> parts;
  if (!path.empty() && path.front() == u'\\') return std::nullopt;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos) end = path.size();
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

class MemoryKey final : public RegistryKey {
 public:
  MemoryKey(std::shared_ptr<State> state, std::shared_ptr<Node> node, std::uint32_t access)
      : state_(std::move(state)), node_(std::move(node)), access_(access) {}

  RegStatus QueryValue(const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                       std::uint32_t* size) override {
    if (RegStatus s = Check(reg::kQueryValue); s != reg::kSuccess) return s;
    if (data != nullptr && size == nullptr) return reg::kInvalidParameter;
    const Node::Value* v = node_->FindValue(AsCName(name));
    if (v == nullptr) return reg::kFileNotFound;
    return CopyOut(*v, type, data, size);
  }

  RegStatus SetValue(const std::u16string& name, std::uint32_t type, const std::uint8_t* data,
                     std::uint32_t size) override {
    if (RegStatus s = Check(reg::kSetValue); s != reg::kSuccess) return s;
    if (data == nullptr && size != 0) return reg::kInvalidParameter;
    const std::u16string_view cname = AsCName(name);
    Node::Value* v = node_->FindValue(cname);
    if (v == nullptr) {
      node_->values.push_back({std::u16string(cname), FoldRegistryName(cname), type, {}});
      v = &node_->values.back();
    }
    v->type = type;
    v->data.assign(data, data + size);
    return reg::kSuccess;
  }

  RegStatus EnumValue(std::uint32_t index, char16_t* name, std::uint32_t* nameChars, std::uint32_t* type,
                      std::uint8_t* data, std::uint32_t* dataSize) override {
    if (RegStatus s = Check(reg::kQueryValue); s != reg::kSuccess) return s;
    if (name == nullptr || nameChars == nullptr) return reg::kInvalidParameter;
    if (data != nullptr && dataSize == nullptr) return reg::kInvalidParameter;
    if (index >= node_->values.size()) return reg::kNoMoreItems;
    const Node::Value& v = node_->values[index];
    if (v.name.size() >= *nameChars) return reg::kMoreData;
    if (data != nullptr && v.data.size() > *dataSize) {
      if (type != nullptr) *type = v.type;
      *dataSize = static_cast<std::uint32_t>(v.data.size());
      return reg::kMoreData;
    }
    std::copy(v.name.begin(), v.name.end(), name);
    name[v.name.size()] = u'\0';
    *nameChars = static_cast<std::uint32_t>(v.name.size());
    return CopyOut(v, type, data, dataSize);
  }

  RegStatus EnumKey(std::uint32_t index, char16_t* name, std::uint32_t* nameChars) override {
    if (RegStatus s = Check(reg::kEnumerateSubKeys); s != reg::kSuccess) return s;
    if (name == nullptr || nameChars == nullptr) return reg::kInvalidParameter;
    if (index >= node_->children.size()) return reg::kNoMoreItems;
    const std::u16string& childName = node_->children[index].node->name;
    if (childName.size() >= *nameChars) return reg::kMoreData;
    std::copy(childName.begin(), childName.end(), name);
    name[childName.size()] = u'\0';
    *nameChars = static_cast<std::uint32_t>(childName.size());
    return reg::kSuccess;
  }

  RegStatus QueryInfo(RegKeyInfo* info) override {
    if (RegStatus s = Check(reg::kQueryValue); s != reg::kSuccess) return s;
    RegKeyInfo result;
    result.subKeys = static_cast<std::uint32_t>(node_->children.size());
    for (const Node::Child& c : node_->children) {
      result.maxSubKeyChars = std::max(result.maxSubKeyChars, static_cast<std::uint32_t>(c.node->name.size()));
    }
    result.values = static_cast<std::uint32_t>(node_->values.size());
    for (const Node::Value& v : node_->values) {
      result.maxValueNameChars = std::max(result.maxValueNameChars, static_cast<std::uint32_t>(v.name.size()));
      result.maxValueDataBytes = std::max(result.maxValueDataBytes, static_cast<std::uint32_t>(v.data.size()));
    }
    *info = result;
    return reg::kSuccess;
  }

  RegStatus DeleteValue(const std::u16string& name) override {
    if (RegStatus s = Check(reg::kSetValue); s != reg::kSuccess) return s;
    const std::u16string folded = FoldRegistryName(AsCName(name));
    auto& values = node_->values;
    auto it = std::find_if(values.begin(), values.end(), [&](const Node::Value& v) { return v.folded == folded; });
    if (it == values.end()) return reg::kFileNotFound;
    values.erase(it);
    return reg::kSuccess;
  }

  RegStatus DeleteSubKey(const std::u16string& path) override {
    if (node_->deleted) return reg::kKeyDeleted;
    const auto parts = SplitPath(AsCName(path));
    if (!parts) return reg::kBadPathname;
    // An empty path names the key itself.
    std::shared_ptr<Node> target = node_;
    for (const std::u16string& part : *parts) {
      target = target->FindChild(part);
      if (!target) return reg::kFileNotFound;
    }
    if (!state_->Permits(*target, reg::kDelete)) return reg::kAccessDenied;
    if (!target->children.empty()) return reg::kAccessDenied;
    std::shared_ptr<Node> parent = target->parent.lock();
    if (!parent) return reg::kAccessDenied;  // HKEY_LOCAL_MACHINE itself
    auto it = parent->LowerBound(FoldRegistryName(target->name));
    parent->children.erase(it);
    target->deleted = true;
    return reg::kSuccess;
  }

 private:
  RegStatus Check(std::uint32_t right) const {
    if (node_->deleted) return reg::kKeyDeleted;
    return (access_ & right) != 0 ? reg::kSuccess : reg::kAccessDenied;
  }

  static RegStatus CopyOut(const Node::Value& v, std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
    const auto needed = static_cast<std::uint32_t>(v.data.size());
    if (data != nullptr && needed > *size) {
      if (type != nullptr) *type = v.type;
      *size = needed;
      return reg::kMoreData;
    }
    if (type != nullptr) *type = v.type;
    if (data != nullptr && needed != 0) std::memcpy(data, v.data.data(), needed);
    if (size != nullptr) *size = needed;
    return reg::kSuccess;
  }

  std::shared_ptr<State> state_;
  std::shared_ptr<Node> node_;
  std::uint32_t access_;
};

}  // namespace

MemoryRegistry::MemoryRegistry() : state_(std::make_shared<State>()) {}
MemoryRegistry::~MemoryRegistry() = default;

RegStatus MemoryRegistry::OpenKey(const std::u16string& path, std::uint32_t access,
                                  std::unique_ptr<RegistryKey>* key) {
  const auto parts = SplitPath(AsCName(path));
  if (!parts) return reg::kBadPathname;
  std::shared_ptr<Node> node = state_->root;
  for (const std::u16string& part : *parts) {
    node = node->FindChild(part);
    if (!node) return reg::kFileNotFound;
  }
  if (!state_->Permits(*node, access)) return reg::kAccessDenied;
  *key = std::make_unique<MemoryKey>(state_, node, access);
  return reg::kSuccess;
}

RegStatus MemoryRegistry::CreateKey(const std::u16string& path, std::uint32_t access,
                                    std::unique_ptr<RegistryKey>* key, std::uint32_t* disposition) {
  const auto parts = SplitPath(AsCName(path));
  if (!parts) return reg::kBadPathname;
  std::shared_ptr<Node> node = state_->root;
  bool created = false;
  for (const std::u16string& part : *parts) {
    std::shared_ptr<Node> child = node->FindChild(part);
    if (!child) {
      if (!state_->Permits(*node, reg::kCreateSubKey)) return reg::kAccessDenied;
      child = std::make_shared<Node>();
      child->name = part;
      child->parent = node;
      std::u16string folded = FoldRegistryName(part);
      auto it = node->LowerBound(folded);
      node->children.insert(it, Node::Child{std::move(folded), child});
      created = true;
    }
    node = child;
  }
  if (!created && !state_->Permits(*node, access)) return reg::kAccessDenied;
  *key = std::make_unique<MemoryKey>(state_, node, access);
  if (disposition != nullptr) *disposition = created ? reg::kCreatedNewKey : reg::kOpenedExistingKey;
  return reg::kSuccess;
}

bool MemoryRegistry::SameName(std::u16string_view a, std::u16string_view b) const { return SameRegistryName(a, b); }

std::u16string MemoryRegistry::UpcasedName(std::u16string_view name) const { return FoldRegistryName(name); }

void MemoryRegistry::SetAdministrator(bool administrator) { state_->administrator = administrator; }

bool MemoryRegistry::RestrictAccess(const std::u16string& path, std::uint32_t allowed) {
  const auto parts = SplitPath(AsCName(path));
  if (!parts) return false;
  std::shared_ptr<Node> node = state_->root;
  for (const std::u16string& part : *parts) {
    node = node->FindChild(part);
    if (!node) return false;
  }
  node->allowed = allowed;
  return true;
}

}  // namespace corvale
