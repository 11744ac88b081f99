// Registry texts through the layer's registry store, and the clipboard.
#include "crashreport/zorExceptSystem.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <QThread>
#include <atomic>
#include <vector>

#include "platform/classes/Registry.h"
#include "platform/graphics/Clipboard.h"

namespace zor {

std::string RegistryReadText(uintptr_t rootKey, const std::string& path, const std::string& valueName) {
  try {
    TRegistry registry;
    registry.SetRootKey(rootKey);
    if (!registry.OpenKeyReadOnly(path) || !registry.ValueExists(valueName)) return {};
    switch (registry.GetDataType(valueName)) {
      case rdString:
      case rdExpandString: {
        const std::string text = registry.ReadString(valueName);
        return text.substr(0, text.find('\0'));
      }
      case rdInteger: {
        const auto v = static_cast<uint32_t>(registry.ReadInteger(valueName));
        return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF), static_cast<char>((v >> 16) & 0xFF),
                static_cast<char>(v >> 24)};
      }
      default: {
        const int size = registry.GetDataSize(valueName);
        if (size <= 0) return {};
        std::vector<char> bytes(static_cast<size_t>(size));
        const int read = registry.ReadBinaryData(valueName, bytes.data(), size);
        return std::string(bytes.data(), static_cast<size_t>(std::max(read, 0)));
      }
    }
  } catch (...) {
    return {};
  }
}

bool RegistryWriteText(uintptr_t rootKey, const std::string& path, const std::string& valueName,
                       const std::string& text) {
  try {
    TRegistry registry;
    registry.SetRootKey(rootKey);
    if (!registry.OpenKey(path, true)) return false;
    registry.WriteString(valueName, text);
    return true;
  } catch (...) {
    return false;
  }
}

bool RegistryDeleteValue(uintptr_t rootKey, const std::string& path, const std::string& valueName) {
  try {
    TRegistry registry;
    registry.SetRootKey(rootKey);
    return registry.OpenKey(path, false) && registry.DeleteValue(valueName);
  } catch (...) {
    return false;
  }
}

namespace {
std::atomic<Clipboard*> gDouble{nullptr};
}  // namespace

Clipboard* SetReporterClipboard(Clipboard* clipboard) { return gDouble.exchange(clipboard); }

bool CopyTextToClipboard(const std::string& text) {
  const auto put = [&text] {
    if (Clipboard* double_ = gDouble.load()) {
      double_->SetText(text);
      return;
    }
    QtClipboard clipboard;
    clipboard.SetText(text);
  };
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (!app) return false;
  try {
    if (QThread::currentThread() == app->thread())
      put();
    else
      QMetaObject::invokeMethod(app, put, Qt::BlockingQueuedConnection);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace zor
