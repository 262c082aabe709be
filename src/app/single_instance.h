#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <memory>

namespace vellumor::app {

// One running copy per user: the first holds the lock "Explorer_Vellumors" and listens under
// "Vellumors_ALREADY_EXIST", both in the user's private temporary folder; a later one knocks there
// once and is told it is not the first.
class InstanceUnique {
  public:
    InstanceUnique();
    // dossier: the private folder, ending with "/"; empty when there is none (always first).
    explicit InstanceUnique(const QString& dossier);
    bool premiere() const { return premiere_; }

  private:
    QLockFile verrou_;
    std::unique_ptr<QLocalServer> serveur_;
    bool premiere_ = false;
};

}  // namespace vellumor::app
