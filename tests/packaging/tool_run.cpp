#include "tests/packaging/tool_run.h"

#include "platform/child_process.h"

ToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments,
                const e2e::ScratchDirectory& scratch,
                const std::vector<std::pair<std::string, std::string>>& environment, int timeoutMs) {
  platform::ChildSetup setup;
  setup.outputPath = scratch.Path("tool.out");
  setup.errorPath = scratch.Path("tool.err");
  setup.environment = environment;
  platform::ChildProcess child;
  ToolRun run;
  run.started = child.Start(program, arguments, setup);
  if (!run.started) return run;
  run.status = child.Wait(timeoutMs);
  if (!run.status) child.Stop();
  run.output = e2e::ReadText(setup.outputPath);
  run.errors = e2e::ReadText(setup.errorPath);
  return run;
}
