* A SPECS file touching every table.
BEGIN  all keys
   Iterations limit          500
   ITERS 400
   Itns=300
   Crash option              2
   Crash tolerance           0.1
   Scale option              1
   Scale tolerance           0.8
   Scale print
   Feasibility tolerance     1.0E-7    * a comment
   Optimality tolerance      1e-6
   Pivot tolerance           3.7e-11
   Partial price             4
   Multiple price            1
   LU factorization tolerance 100
   LU update tolerance        10
   LU singularity tolerance   1e-11
   LU density tolerance       0.6
   LU swap tolerance          1e-3
   LU rook
   LU complete
   LU partial
   Factorization frequency   50
   Expand frequency          10000
   Check frequency           60
   Log frequency             1
   Print level               1
   Print frequency           10
   Summary frequency         10
   Summary level             1
   Solution yes
   Solution no
   Timing                    0
   Superbasics limit         20
   Hessian dimension         10
   Completion full
   Completion partial
   Lagrangian yes
   Major iterations          20
   Minor iterations          40
   Major damping parameter   2.0
   Minor damping parameter   2.0
   Penalty parameter         0.1
   Radius of convergence     0.01
   Row tolerance             1e-6
   Rows                      100
   Columns                   200
   Elements                  1000
   Coefficients              1000
   Subspace tolerance        0.5
   Linesearch tolerance      0.1
   Linesearch debug          5
   Unbounded objective       1e20
   Unbounded step size       1e10
   Verify level              0
   Verify objective gradients
   Verify no
   Start objective check at column 3
   Start constraint check at column 4
   Stop objective check at column 5
   Stop constraint check at column 6
   Start assigned nonlinears basic
   Weight on linear objective 0.5
   Aij tolerance             1e-12
   Lower bound               0
   Upper bound               1e20
   Bounds                    BND
   Ranges                    RNG
   RHS                       RHS
   Objective                 COST
   Central difference interval 1e-4
   Difference interval       1e-6
   Derivative level          3
   Function precision        1e-12
   Jacobian sparse
   Jacobian dense
   Nonlinear constraints     0
   Nonlinear objective variables 0
   Nonlinear Jacobian variables 0
   Nonlinear variables       0
   Phantom columns           0
   Phantom elements          0
   Problem number            1
   Cycle limit               1
   Cycle print               1
   Cycle tolerance           0.0
   Error message limit       10
   List limit                0
   Workspace (user)          0
   Workspace (total)         0
   Debug level               0
   Iparm 6 2
   Rparm 3 1e-7
   Minimize
   Maximize
   Defaults
END
