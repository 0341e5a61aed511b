#pragma once
// The exporters of the timeline's effect numbers. Each half of every exporter runs one worker that
// reads the exit flag itself; the classes that share a worker derive from the one that owns it.

#include "EffectExporter.h"

namespace genswf {

// Effect 1.
class CAppearEffectExporter : public CEffectExporter {
public:
    using CEffectExporter::CEffectExporter;

protected:
    void ExportEntrance(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                        const std::shared_ptr<CTimeLineEffect>& effect) override;
    void ExportExit(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                    const std::shared_ptr<CTimeLineEffect>& effect) override;
};

// Effect 2.
class CFlyEffectExporter : public CEffectExporter {
public:
    using CEffectExporter::CEffectExporter;

protected:
    void ExportEntrance(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                        const std::shared_ptr<CTimeLineEffect>& effect) override;
    void ExportExit(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                    const std::shared_ptr<CTimeLineEffect>& effect) override;
};

// Effect 7: exported as the fly effect.
class CCrawlEffectExporter final : public CFlyEffectExporter {
public:
    using CFlyEffectExporter::CFlyEffectExporter;
};

// Effect 6.
class CCircleEffectExporter : public CEffectExporter {
public:
    using CEffectExporter::CEffectExporter;

protected:
    void ExportEntrance(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                        const std::shared_ptr<CTimeLineEffect>& effect) override;
    void ExportExit(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                    const std::shared_ptr<CTimeLineEffect>& effect) override;
};

// Effect 11.
class CFlashOnceEffectExporter : public CEffectExporter {
public:
    using CEffectExporter::CEffectExporter;

protected:
    void ExportEntrance(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                        const std::shared_ptr<CTimeLineEffect>& effect) override;
    void ExportExit(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                    const std::shared_ptr<CTimeLineEffect>& effect) override;
};

// Effect 22.
class CWipeEffectExporter : public CEffectExporter {
public:
    using CEffectExporter::CEffectExporter;

protected:
    void ExportEntrance(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                        const std::shared_ptr<CTimeLineEffect>& effect) override;
    void ExportExit(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                    const std::shared_ptr<CTimeLineEffect>& effect) override;
};

// Effect 19.
class CSwivelEffectExporter : public CEffectExporter {
public:
    using CEffectExporter::CEffectExporter;

protected:
    void ExportEntrance(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                        const std::shared_ptr<CTimeLineEffect>& effect) override;
    void ExportExit(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                    const std::shared_ptr<CTimeLineEffect>& effect) override;
};

// Effect 10.
class CFadeEffectExporter : public CEffectExporter {
public:
    using CEffectExporter::CEffectExporter;

protected:
    void ExportEntrance(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                        const std::shared_ptr<CTimeLineEffect>& effect) override;
    void ExportExit(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                    const std::shared_ptr<CTimeLineEffect>& effect) override;
};

// Effect 9: exported as the fade effect.
class CDissolveEffectExporter final : public CFadeEffectExporter {
public:
    using CFadeEffectExporter::CFadeEffectExporter;
};

// Effect 17.
class CStretchEffectExporter : public CEffectExporter {
public:
    using CEffectExporter::CEffectExporter;

protected:
    void ExportEntrance(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                        const std::shared_ptr<CTimeLineEffect>& effect) override;
    void ExportExit(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                    const std::shared_ptr<CTimeLineEffect>& effect) override;
};

// Effect 12.
class CPeekEffectExporter : public CEffectExporter {
public:
    using CEffectExporter::CEffectExporter;

protected:
    void ExportEntrance(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                        const std::shared_ptr<CTimeLineEffect>& effect) override;
    void ExportExit(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                    const std::shared_ptr<CTimeLineEffect>& effect) override;
};

// Effect 23.
class CZoomEffectExporter : public CEffectExporter {
public:
    using CEffectExporter::CEffectExporter;

protected:
    void ExportEntrance(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                        const std::shared_ptr<CTimeLineEffect>& effect) override;
    void ExportExit(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                    const std::shared_ptr<CTimeLineEffect>& effect) override;
};

// Effect 15.
class CSpiralEffectExporter : public CEffectExporter {
public:
    using CEffectExporter::CEffectExporter;

protected:
    void ExportEntrance(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                        const std::shared_ptr<CTimeLineEffect>& effect) override;
    void ExportExit(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                    const std::shared_ptr<CTimeLineEffect>& effect) override;
};

// Effect 4.
class CBoxEffectExporter : public CEffectExporter {
public:
    using CEffectExporter::CEffectExporter;

protected:
    void ExportEntrance(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                        const std::shared_ptr<CTimeLineEffect>& effect) override;
    void ExportExit(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                    const std::shared_ptr<CTimeLineEffect>& effect) override;
};

// Effect 16.
class CSplitEffectExporter : public CEffectExporter {
public:
    using CEffectExporter::CEffectExporter;

protected:
    void ExportEntrance(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                        const std::shared_ptr<CTimeLineEffect>& effect) override;
    void ExportExit(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                    const std::shared_ptr<CTimeLineEffect>& effect) override;
};

// Effect 3.
class CBlindsEffectExporter : public CEffectExporter {
public:
    using CEffectExporter::CEffectExporter;

protected:
    void ExportEntrance(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                        const std::shared_ptr<CTimeLineEffect>& effect) override;
    void ExportExit(const std::shared_ptr<CPlacement>& placement, const std::shared_ptr<CAnimatedObject>& object,
                    const std::shared_ptr<CTimeLineEffect>& effect) override;
};

// Effect 14: exported as the fade effect.
class CRandomBarsEffectExporter final : public CFadeEffectExporter {
public:
    using CFadeEffectExporter::CFadeEffectExporter;
};

// Effect 5: exported as the fade effect.
class CCheckerboardEffectExporter final : public CFadeEffectExporter {
public:
    using CFadeEffectExporter::CFadeEffectExporter;
};

// The factories, one per class, each given the owning registry.
std::shared_ptr<CEffectExporterBase> CreateAppearEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreateFlyEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreateCrawlEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreateCircleEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreateFlashOnceEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreateWipeEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreateSwivelEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreateFadeEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreateDissolveEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreateStretchEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreatePeekEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreateZoomEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreateSpiralEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreateBoxEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreateSplitEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreateBlindsEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreateRandomBarsEffectExporter(CEffectExporterFactory* owner);
std::shared_ptr<CEffectExporterBase> CreateCheckerboardEffectExporter(CEffectExporterFactory* owner);

}  // namespace genswf
