#pragma once

namespace tivenor {

// Direction of (x, y), mm with y upwards, as a fraction of a revolution counter-clockwise from
// the positive x axis: [0, 1), or exactly 1.0 just below that axis. The centre gives 0.
double RevolutionAngle(double x, double y);

}  // namespace tivenor
