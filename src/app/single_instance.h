#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <memory>

namespace vellumor::app {

// One running copy per user: the first holds the lock "Explorer_Vellumors" and listens under
// "Vellumors_ALREADY_EXIST"; a later one knocks there once and is told it is not the first.
class InstanceUnique {
  public:
    InstanceUnique();
    bool premiere() const { return premiere_; }

  private:
    QLockFile verrou_;
    std::unique_ptr<QLocalServer> serveur_;
    bool premiere_ = false;
};

}  // namespace vellumor::app
