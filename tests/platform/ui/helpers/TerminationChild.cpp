// A program that runs its application until it is told to end, for the termination test: once its run loop runs
// it writes "ready" into the folder it is given, and its delegate writes "terminated" when the application ends.
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/views/Application.h"

#include <fstream>
#include <memory>
#include <string>

namespace {

class WritesOnTermination : public ui::ApplicationDelegate {
public:
    explicit WritesOnTermination(std::string path)
        : m_path(std::move(path))
    {
    }
    void applicationWillTerminate(ui::Application&) override { std::ofstream(m_path) << "willTerminate"; }

private:
    std::string m_path;
};

}

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string folder = argv[1];
    ui::HeadlessBackend::install();
    auto delegate = std::make_shared<WritesOnTermination>(folder + "/terminated");
    ui::Application::shared().setDelegate(delegate);
    ui::Application::handleTerminationSignals();
    fnd::RunLoop::main().performBeforeWaiting(
        [folder] { std::ofstream(folder + "/ready") << "ready"; }, 0, { fnd::RunLoopMode::Default });
    ui::Application::shared().run();
    // Only a signal ends this program.
    return 3;
}
