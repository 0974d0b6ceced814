// HX_VENDOR LIBRARY CHANNEL...: the host of one vendor library
// (host/vendor_host.h).  LIBRARY names it for whoever lists the processes;
// the rest name the channel, as the platform's launcher hands it over.
// Answers the program's calls one by one until the program is done with the
// library or has ended.

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "comm/vendor_channel.h"
#include "comm/vendor_loader.h"
#include "host/vendor_host.h"
#include "platform/executable_folder.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + std::min(argc, 2), argv + argc);
  const std::unique_ptr<hx::HostChannel> channel = hx::OpenHostChannel(arguments);
  if (!channel) return 3;
  hx::ChannelEnd end(channel->region(), channel->bell(), hx::ChannelEnd::Side::kHost);
  hx::VendorLoader vendor(hx::ExecutableFolder());
  for (std::string request;;) {
    if (end.Await(request, std::chrono::steady_clock::time_point::max(), nullptr) !=
            hx::ChannelEnd::Got::kData ||
        request.empty())
      return 0;  // the program is done with the library
    end.Post(hx::AnswerRequest(vendor, request));
  }
}
