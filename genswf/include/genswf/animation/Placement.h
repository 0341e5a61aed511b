#pragma once
// Where an animated object rests: its matrix and the axis-aligned box the effects animate and
// mask, in movie units.

#include "genswf/geometry/Geometry.h"

#include <memory>

namespace genswf {

class CMovie;

class CPlacement {
public:
    static std::shared_ptr<CPlacement> Create(CMovie* movie, float x, float y, float width, float height,
                                              const CMatrix& matrix);
    CPlacement(CMovie* movie, float x, float y, float width, float height, const CMatrix& matrix)
        : m_matrix(matrix), m_movie(movie), m_x(x), m_y(y), m_width(width), m_height(height) {}
    virtual ~CPlacement() = default;

    const CMatrix& GetMatrix() const { return m_matrix; }
    CMovie* GetMovie() const { return m_movie; }
    float GetX() const { return m_x; }
    float GetY() const { return m_y; }
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }

private:
    CMatrix m_matrix;
    CMovie* m_movie;
    float m_x, m_y, m_width, m_height;
};

inline std::shared_ptr<CPlacement> CPlacement::Create(CMovie* movie, float x, float y, float width, float height,
                                                      const CMatrix& matrix) {
    return std::make_shared<CPlacement>(movie, x, y, width, height, matrix);
}

}  // namespace genswf
