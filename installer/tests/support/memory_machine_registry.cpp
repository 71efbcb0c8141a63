#include "memory_machine_registry.h"

#include <algorithm>
#include <map>

#include "platform/text.h"

namespace velmara {

namespace {

constexpr RegStatus kKeyDeleted = 1018;

// The registry compares names by their upper-case form. This covers the letters that have one in
// ASCII, Latin-1, Greek and Cyrillic; Chinese characters have no case.
char16_t Upper(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
  return c;
}

std::u16string Folded(const std::string& name) {
  std::u16string folded = Utf8ToUtf16(name);
  std::transform(folded.begin(), folded.end(), folded.begin(), Upper);
  return folded;
}

std::vector<std::string> PathParts(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t slash = path.find('\\', start);
    const std::size_t end = slash == std::string::npos ? path.size() : slash;
    parts.push_back(path.substr(start, end - start));
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  if (parts.size() == 1 && parts.front().empty()) parts.clear();  // the empty path names the root
  return parts;
}

}  // namespace

struct MemoryMachineRegistry::Node {
  struct Value {
    std::string name;
    std::uint32_t type = reg::kTypeNone;
    std::vector<std::uint8_t> data;
  };

  std::string name;
  std::map<std::u16string, std::shared_ptr<Node>> children;
  std::vector<Value> values;
  bool deleted = false;

  Value* FindValue(const std::string& valueName) {
    const std::u16string folded = Folded(valueName);
    for (Value& v : values) {
      if (Folded(v.name) == folded) return &v;
    }
    return nullptr;
  }

  void MarkDeleted() {
    deleted = true;
    for (auto& [folded, child] : children) child->MarkDeleted();
  }
};

namespace {

using Node = MemoryMachineRegistry::Node;

class MemoryKey final : public MachineRegistryKey {
 public:
  MemoryKey(std::shared_ptr<Node> node, std::uint32_t access) : node_(std::move(node)), access_(access) {}

  RegStatus QueryValue(const std::string& name, std::uint32_t* type, std::uint8_t* data,
                       std::uint32_t* size) override {
    if (node_->deleted) return kKeyDeleted;
    if ((access_ & reg::kQueryValue) == 0) return reg::kAccessDenied;
    if (data != nullptr && size == nullptr) return reg::kInvalidParameter;
    const Node::Value* value = node_->FindValue(name);
    if (value == nullptr) return reg::kFileNotFound;
    const auto needed = static_cast<std::uint32_t>(value->data.size());
    if (data != nullptr && *size < needed) {
      *size = needed;
      if (type != nullptr) *type = value->type;
      return reg::kMoreData;
    }
    if (data != nullptr) std::copy(value->data.begin(), value->data.end(), data);
    if (size != nullptr) *size = needed;
    if (type != nullptr) *type = value->type;
    return reg::kSuccess;
  }

 private:
  std::shared_ptr<Node> node_;
  std::uint32_t access_;
};

}  // namespace

MemoryMachineRegistry::MemoryMachineRegistry() : root_(std::make_shared<Node>()) {}
MemoryMachineRegistry::~MemoryMachineRegistry() = default;

RegStatus MemoryMachineRegistry::OpenKey(const std::string& path, std::uint32_t access,
                                         std::unique_ptr<MachineRegistryKey>* key) {
  std::shared_ptr<Node> node = root_;
  for (const std::string& part : PathParts(path)) {
    if (part.empty()) return reg::kFileNotFound;
    const auto child = node->children.find(Folded(part));
    if (child == node->children.end()) return reg::kFileNotFound;
    node = child->second;
  }
  *key = std::make_unique<MemoryKey>(node, access);
  return reg::kSuccess;
}

void MemoryMachineRegistry::CreateKey(const std::string& path) {
  std::shared_ptr<Node> node = root_;
  for (const std::string& part : PathParts(path)) {
    std::shared_ptr<Node>& child = node->children[Folded(part)];
    if (!child) {
      child = std::make_shared<Node>();
      child->name = part;
    }
    node = child;
  }
}

void MemoryMachineRegistry::SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                                     const std::vector<std::uint8_t>& data) {
  CreateKey(path);
  std::shared_ptr<Node> node = root_;
  for (const std::string& part : PathParts(path)) node = node->children[Folded(part)];
  if (Node::Value* existing = node->FindValue(name)) {
    existing->type = type;
    existing->data = data;
  } else {
    node->values.push_back({name, type, data});
  }
}

void MemoryMachineRegistry::SetDword(const std::string& path, const std::string& name, std::uint32_t value) {
  SetValue(path, name, reg::kTypeDword,
           {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

bool MemoryMachineRegistry::DeleteTree(const std::string& path) {
  const std::vector<std::string> parts = PathParts(path);
  if (parts.empty()) return false;
  std::shared_ptr<Node> node = root_;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    const auto child = node->children.find(Folded(parts[i]));
    if (child == node->children.end()) return false;
    node = child->second;
  }
  const auto target = node->children.find(Folded(parts.back()));
  if (target == node->children.end()) return false;
  target->second->MarkDeleted();
  node->children.erase(target);
  return true;
}

}  // namespace velmara
