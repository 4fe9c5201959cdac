NAME UNBCLEAN
* Unbounded: B has cost -1 and no upper bound.  The huge feasibility
* tolerance shrinks every scale, the scaled problem looks optimal at B = 0,
* and the clean-up on the unscaled problem finds the ray.
ROWS
 N OBJ
COLUMNS
 B OBJ -1
ENDATA
Scale option 2
Crash option 2
Feasibility tolerance 5e5
