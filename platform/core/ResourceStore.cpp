#include "platform/core/ResourceStore.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <algorithm>
#include <charconv>

#include "platform/core/AnsiStrings.h"

namespace {

QString ToQ(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The entry of the resource folder `dir` whose name equals `name` without
// case; empty when none.
QString Child(const QString& dir, std::string_view name) {
  const QString wanted = ToQ(name);
  const QStringList entries = QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
  for (const QString& entry : entries)
    if (entry.compare(wanted, Qt::CaseInsensitive) == 0) return dir + "/" + entry;
  return {};
}

std::optional<std::string> QtResource(std::string_view module, std::string_view type, std::string_view name) {
  QString path = QStringLiteral(":/res");
  for (std::string_view part : {module, type, name}) {
    path = Child(path, part);
    if (path.isEmpty()) return std::nullopt;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

bool ResourceStore::Entry::Is(std::string_view Module, std::string_view Type, std::string_view Name) const {
  return AnsiSameText(module, Module) && AnsiSameText(type, Type) && AnsiSameText(name, Name);
}

ResourceStore& ResourceStore::Instance() {
  static ResourceStore store;
  return store;
}

const ResourceStore::Entry* ResourceStore::FindInjected(std::string_view Module, std::string_view Type,
                                                        std::string_view Name) const {
  for (const Entry& e : injected_)
    if (e.Is(Module, Type, Name)) return &e;
  return nullptr;
}

std::optional<std::string> ResourceStore::Find(std::string_view Module, std::string_view Type,
                                               std::string_view Name) const {
  {
    std::lock_guard lock(mutex_);
    if (const Entry* e = FindInjected(Module, Type, Name)) return e->bytes;
  }
  return QtResource(Module, Type, Name);
}

std::optional<std::string> ResourceStore::Find(std::string_view Type, std::string_view Name,
                                               std::string* FoundIn) const {
  for (const std::string& module : Modules()) {
    if (auto bytes = Find(module, Type, Name)) {
      if (FoundIn) *FoundIn = module;
      return bytes;
    }
  }
  return std::nullopt;
}

void ResourceStore::AddModule(const std::string& Module) {
  std::lock_guard lock(mutex_);
  if (std::none_of(modules_.begin(), modules_.end(), [&](const std::string& m) { return AnsiSameText(m, Module); }))
    modules_.push_back(Module);
}

void ResourceStore::RemoveModule(std::string_view Module) {
  std::lock_guard lock(mutex_);
  std::erase_if(modules_, [&](const std::string& m) { return AnsiSameText(m, Module); });
}

std::vector<std::string> ResourceStore::Modules() const {
  std::lock_guard lock(mutex_);
  return modules_;
}

std::optional<std::string> ResourceStore::LoadString(std::string_view Module, int Id) const {
  const std::optional<std::string> table = Find(Module, "STRINGS", "TABLE");
  if (!table) return std::nullopt;
  std::string_view rest = *table;
  while (!rest.empty()) {
    const size_t end = std::min(rest.find_first_of("\r\n"), rest.size());
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    int id = 0;
    const auto [last, error] = std::from_chars(line.data(), line.data() + equals, id);
    if (error == std::errc() && last == line.data() + equals && id == Id) return std::string(line.substr(equals + 1));
  }
  return std::nullopt;
}

void ResourceStore::Inject(std::string Module, std::string Type, std::string Name, std::string Bytes) {
  std::lock_guard lock(mutex_);
  std::erase_if(injected_, [&](const Entry& e) { return e.Is(Module, Type, Name); });
  injected_.push_back({std::move(Module), std::move(Type), std::move(Name), std::move(Bytes)});
}

void ResourceStore::RemoveInjected(std::string_view Module, std::string_view Type, std::string_view Name) {
  std::lock_guard lock(mutex_);
  std::erase_if(injected_, [&](const Entry& e) { return e.Is(Module, Type, Name); });
}
