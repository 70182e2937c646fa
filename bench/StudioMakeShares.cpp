// SPDX-License-Identifier: GPL-3.0-or-later
// The studio's making of shares as a whole command, to time and weigh against kvt shadows (not a
// Google Benchmark program): the session opens SOURCE (a picture, a video or a secret stream), the
// scheme is chosen as the scheme panel chooses it, the job the window runs in the background writes
// the shares into FOLDER, and the shares are opened as the reveal opens them, at their first frame.
//
//     StudioMakeShares SOURCE FOLDER FAMILY K N [FPS]

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "studio/ShareJob.h"
#include "studio/StudioSession.h"

int main(int argc, char** argv)
{
    if (argc < 6) {
        std::fprintf(stderr, "usage: StudioMakeShares SOURCE FOLDER FAMILY K N [FPS]\n");
        return 2;
    }
    QGuiApplication application(argc, argv);  // as the window's, for Qt's picture readers
    CStudioSession session;
    std::string error;
    ImportSettings import;
    if (argc > 6)
        import.range.fps = std::atof(argv[6]);
    if (!session.SetImportSettings(import, error) || !session.OpenSource(argv[1], error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    SchemeSettings scheme;
    scheme.request = {*FamilyNamed(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::nullopt};
    session.SetSchemeSettings(scheme);
    session.SetOutputFolder(argv[2]);
    const auto making = session.ChooseMaking(error);
    if (!making) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const std::filesystem::path source = argv[1];
    CShareJob job({source, session.GetSource().GetKind(), import, *making, std::nullopt, argv[2], source.stem().string()});
    const ShareJobResult result = job.Run({});
    if (result.outcome != ShareJobOutcome::written) {
        std::fprintf(stderr, "%s\n", result.error.c_str());
        return 1;
    }
    if (!session.OpenShares(result.paths, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
